// CMultiDocTemplate: a document template for any number of open documents, each in its own
// child frame of the main window.
#pragma once

#include "CDocTemplate.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                      CRuntimeClass* pViewClass);
};

PARVEL_UI_END_EXPORTS
