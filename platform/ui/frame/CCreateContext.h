// What a frame needs to make its view when the document template creates them together, and the
// position type of the framework's lists (documents of a template, views of a document).
#pragma once

#include <cstdint>
#include <vector>
#include "CObject.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

struct __POSITION;
typedef __POSITION* POSITION;

// A position in one of those lists is its element's index plus one; NULL past the end.
template <class T>
POSITION FirstPositionOf(const std::vector<T*>& list)
{
    return list.empty() ? nullptr : reinterpret_cast<POSITION>((uintptr_t)1);
}

// The element at the position, which moves on to the next (NULL after the last).
template <class T>
T* NextAtPosition(const std::vector<T*>& list, POSITION& rPos)
{
    size_t i = (size_t)reinterpret_cast<uintptr_t>(rPos);
    if (i == 0 || i > list.size())
    {
        rPos = nullptr;
        return nullptr;
    }
    rPos = i < list.size() ? reinterpret_cast<POSITION>((uintptr_t)(i + 1)) : nullptr;
    return list[i - 1];
}

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
