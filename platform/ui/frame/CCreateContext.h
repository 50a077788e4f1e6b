// What a frame needs to make its view when the document template creates them together, and the
// position type of the framework's lists (documents of a template, views of a document).
#pragma once

#include "CObject.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

struct __POSITION;
typedef __POSITION* POSITION;

class CDocument;
class CDocTemplate;
class CView;
class CFrameWnd;

struct CCreateContext
{
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// Child-window id of a frame's view; the messages a frame sends its views on their first update.
#define AFX_IDW_PANE_FIRST 0xE900
#define WM_INITIALUPDATE 0x0364
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

PARVEL_UI_END_EXPORTS
