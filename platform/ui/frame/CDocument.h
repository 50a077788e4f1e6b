// CDocument: the data behind one or more views. Its title is the caption of the frames that show
// it; closing it destroys its frames (and with them its views) and deletes it. Its views hand it the
// commands they do not handle; it handles ID_FILE_CLOSE.
#pragma once

#include <vector>
#include "CCmdTarget.h"
#include "CString.h"
#include "CCreateContext.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    // Sets the title and shows it in the frames of the document's views.
    virtual void SetTitle(LPCSTR lpszTitle);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // Views, in the order they were added.
    virtual POSITION GetFirstViewPosition() const;
    virtual CView* GetNextView(POSITION& rPosition) const;
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    void UpdateFrameCounts();

    // Called by the template for a new document; TRUE when it may be shown.
    virtual BOOL OnNewDocument();
    // Destroys every frame that shows the document, then deletes it when m_bAutoDelete.
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    virtual BOOL SaveModified() { return TRUE; }
    // TRUE when pFrame is the last frame that shows this document.
    BOOL IsLastFrame(CFrameWnd* pFrame) const;

    BOOL m_bAutoDelete;

protected:
    virtual void OnChangedViewList();
    // ID_FILE_CLOSE: the document closes once it may.
    afx_msg void OnFileClose();
    DECLARE_MESSAGE_MAP()

    CString m_strTitle;
    CDocTemplate* m_pDocTemplate;
    std::vector<CView*> m_viewList;
    friend class CDocTemplate;
};

PARVEL_UI_END_EXPORTS
