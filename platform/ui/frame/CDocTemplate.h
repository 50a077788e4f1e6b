// CDocTemplate: makes a document, its frame and its view together from their run-time classes,
// and keeps the documents it made. CMultiDocTemplate is the kind with any number of documents.
#pragma once

#include <vector>
#include "CCmdTarget.h"
#include "CCreateContext.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
public:
    ~CDocTemplate() override;

    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    // A new empty document (lpszPathName NULL) in a new frame; NULL when any step fails.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE);
    virtual CDocument* CreateNewDocument();
    // The frame is made with LoadFrame(resource id, ...) and the context naming the document and
    // the view class; for a child frame the parent is the application's main window.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void CloseAllDocuments(BOOL bEndSession);

    UINT GetResourceID() const { return m_nIDResource; }

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    std::vector<CDocument*> m_docList;
};

PARVEL_UI_END_EXPORTS
