// CMultiDocTemplate: a document template for any number of open documents, each in its own
// child frame of the main window.
#pragma once

#include "CDocTemplate.h"

class CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                      CRuntimeClass* pViewClass);
};
