// The visual manager's one setting.
#include "CMFCVisualManager.h"

IMPLEMENT_DYNCREATE(CMFCVisualManager, CObject)
IMPLEMENT_DYNCREATE(CMFCVisualManagerOffice2007, CMFCVisualManager)

CRuntimeClass* CMFCVisualManager::s_pRTI = nullptr;

void CMFCVisualManager::SetDefaultManager(CRuntimeClass* pRTI)
{
    s_pRTI = pRTI;
}
