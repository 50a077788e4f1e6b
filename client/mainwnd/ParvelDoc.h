// CParvelDoc: the document of one page tab. It has no data of its own; it counts the open pages
// and keeps the last one open while the main window is in use.
#pragma once

#include "CDocument.h"

// Open page documents.
extern int g_nOpenPages;
// True until the program's first navigation (the next page view that is initially updated makes
// it) or until the last-page rule has run.
extern bool g_bFirstNavigation;

class CParvelDoc : public CDocument
{
    DECLARE_DYNCREATE(CParvelDoc)
public:
    CParvelDoc();
    ~CParvelDoc() override;

    BOOL OnNewDocument() override;
    // The last page stays while the main window is shown: at the home page once the menus are
    // built, as it is before. With the main window hidden it signs off and closes.
    void OnCloseDocument() override;
};
