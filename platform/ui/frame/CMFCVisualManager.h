// The visual manager: the look of frames, bars and tabs. Here the GTK theme draws them; the
// manager only records which look the program chose.
#pragma once

#include "CObject.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CMFCVisualManager : public CObject
{
    DECLARE_DYNCREATE(CMFCVisualManager)
public:
    static void SetDefaultManager(CRuntimeClass* pRTI);
    static CRuntimeClass* GetDefaultManager() { return s_pRTI; }

private:
    static CRuntimeClass* s_pRTI;
};

class CMFCVisualManagerOffice2007 : public CMFCVisualManager
{
    DECLARE_DYNCREATE(CMFCVisualManagerOffice2007)
};

PARVEL_UI_END_EXPORTS
