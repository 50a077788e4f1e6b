#include "CDocTemplate.h"

#include <algorithm>
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* pDoc : m_docList)
        pDoc->m_pDocTemplate = nullptr;
}

POSITION CDocTemplate::GetFirstDocPosition() const
{
    return FirstPositionOf(m_docList);
}

CDocument* CDocTemplate::GetNextDoc(POSITION& rPos) const
{
    return NextAtPosition(m_docList, rPos);
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    m_docList.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    auto it = std::find(m_docList.begin(), m_docList.end(), pDoc);
    if (it != m_docList.end())
        m_docList.erase(it);
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    auto* pDoc = static_cast<CDocument*>(m_pDocClass->CreateObject());
    if (pDoc)
        AddDocument(pDoc);
    return pDoc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (!m_pFrameClass)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    auto* pFrame = static_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (!pFrame)
        return nullptr;
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
    {
        // A frame that never got a window deletes nothing by itself.
        if (!pFrame->GetSafeHwnd())
            delete pFrame;
        return nullptr;
    }
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocument* CDocTemplate::OpenDocumentFile(LPCSTR, BOOL bMakeVisible)
{
    CDocument* pDoc = CreateNewDocument();
    if (!pDoc)
        return nullptr;
    BOOL bAutoDelete = pDoc->m_bAutoDelete;
    pDoc->m_bAutoDelete = FALSE;  // a failing frame must not delete the document under us
    CFrameWnd* pFrame = CreateNewFrame(pDoc, nullptr);
    pDoc->m_bAutoDelete = bAutoDelete;
    if (!pFrame)
    {
        delete pDoc;
        return nullptr;
    }
    if (!pDoc->OnNewDocument())
    {
        pFrame->DestroyWindow();
        return nullptr;
    }
    InitialUpdateFrame(pFrame, pDoc, bMakeVisible);
    return pDoc;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    // Each close may keep its document (a document may refuse) or delete it: walk a copy.
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* pDoc : docs)
        if (std::find(m_docList.begin(), m_docList.end(), pDoc) != m_docList.end())
            pDoc->OnCloseDocument();
}
