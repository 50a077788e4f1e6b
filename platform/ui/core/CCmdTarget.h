// CCmdTarget: an object with a message map that can handle commands (windows, the application).
#pragma once

#include "CObject.h"
#include "AfxMsgMap.h"
#include "UiExport.h"


PARVEL_UI_BEGIN_EXPORTS

struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Looks up the command (nCode CN_COMMAND or a control notification; CN_UPDATE_COMMAND_UI with
    // pExtra a CCmdUI*) in the message maps and calls its handler; TRUE when one was found.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for (message, code, id) from the most derived map down, or NULL.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);
};

// State of a command's user-interface item, handed to ON_UPDATE_COMMAND_UI handlers.
class CCmdUI
{
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CWnd* m_pOther = nullptr;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    CString m_strText;
    BOOL m_bTextChanged = FALSE;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE) { m_bEnabled = bOn; m_bEnableChanged = TRUE; }
    virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    // A radio mark: shown as the check mark where a bar has no radio look of its own.
    virtual void SetRadio(BOOL bOn = TRUE) { SetCheck(bOn ? 1 : 0); }
    virtual void SetText(LPCSTR lpszText) { m_strText = lpszText; m_bTextChanged = TRUE; }
    // Routes the update to a target; TRUE when a handler took it.
    BOOL DoUpdate(CCmdTarget* pTarget);
};

PARVEL_UI_END_EXPORTS
