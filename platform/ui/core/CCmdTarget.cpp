// CObject's run-time classes, CCmdTarget's message maps and command routing, CCmdUI.
#include "WndRecord.h"

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e && e->nSig != AfxSig_end; ++e)
        {
            if (e->nMessage == 0xC000 && nMsg >= 0xC000)
            {
                if (*(const UINT*)e->nSig == nMsg)
                    return e;
                continue;
            }
            if (e->nMessage == nMsg && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
        if (pMap->pfnGetBaseMap == nullptr)
            break;
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), WM_COMMAND, (UINT)nCode, nID);
    if (!e)
        return FALSE;
    if (pHandlerInfo)
    {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = e->pfn;
        return TRUE;
    }
    switch (e->nSig)
    {
    case AfxSig_v_v:
        (this->*(e->pfn))();
        return TRUE;
    case AfxSig_b_v:
        return (this->*AfxPmfUncast<BOOL (CCmdTarget::*)()>(e->pfn))();
    case AfxSig_v_u:
        (this->*AfxPmfUncast<void (CCmdTarget::*)(UINT)>(e->pfn))(nID);
        return TRUE;
    case AfxSig_cmdui:
    {
        CCmdUI* pCmdUI = (CCmdUI*)pExtra;
        if (!pCmdUI)
            return FALSE;
        (this->*AfxPmfUncast<void (CCmdTarget::*)(CCmdUI*)>(e->pfn))(pCmdUI);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget)
{
    return pTarget && pTarget->OnCmdMsg(m_nID, (int)CN_UPDATE_COMMAND_UI, this, nullptr);
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}


BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pfnGetBaseClass ? p->m_pfnGetBaseClass() : nullptr)
        if (p == pBaseClass)
            return TRUE;
    return FALSE;
}

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), nullptr, nullptr};
CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
