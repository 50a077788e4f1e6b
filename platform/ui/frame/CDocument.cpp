#include "CDocument.h"

#include <algorithm>
#include "AfxRes.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CView.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, &CDocument::OnFileClose)
END_MESSAGE_MAP()

void CDocument::OnFileClose()
{
    if (SaveModified())
        OnCloseDocument();
}

CDocument::CDocument() : m_bAutoDelete(TRUE), m_pDocTemplate(nullptr) {}

CDocument::~CDocument()
{
    // A document deleted while views still point to it leaves them without one.
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return FirstPositionOf(m_viewList);
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    return NextAtPosition(m_viewList, rPosition);
}

void CDocument::AddView(CView* pView)
{
    if (std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // The last view gone: the document goes with it.
    if (m_viewList.empty() && m_bAutoDelete)
    {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    for (CView* pView : m_viewList)
        if (CFrameWnd* pFrame = pView->GetParentFrame() ? static_cast<CFrameWnd*>(pView->GetParentFrame()) : nullptr)
            if (pFrame->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
                pFrame->OnUpdateFrameTitle(TRUE);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    return TRUE;
}

BOOL CDocument::IsLastFrame(CFrameWnd* pFrame) const
{
    for (CView* pView : m_viewList)
    {
        CWnd* pOther = pView->GetParentFrame();
        if (pOther && pOther != pFrame)
            return FALSE;
    }
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frames removes the views; the document must outlive that.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty())
    {
        CView* pView = m_viewList.front();
        CWnd* pFrame = pView->GetParentFrame();
        if (pFrame && pFrame->GetSafeHwnd())
            pFrame->DestroyWindow();
        else if (pView->GetSafeHwnd())
            pView->DestroyWindow();
        else
            RemoveView(pView);
        // A view that stays registered after its window went must not stop the loop.
        if (!m_viewList.empty() && m_viewList.front() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}
