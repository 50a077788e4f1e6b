// The keyboard state as of the input message being handled (GetKeyState).
#include <wx/utils.h>
#include <wx/defs.h>
#include <atomic>
#include "WndRecord.h"

namespace
{
// The modifiers of the last key or mouse event turned into a message: a key that xdotool or the
// user has let go of by now was held when the message was made, as Windows answers.
std::atomic<unsigned> g_modifiers{0};
const unsigned kShift = 1, kControl = 2, kAlt = 4;
}  // namespace

void SetInputModifiers(bool bShift, bool bControl, bool bAlt)
{
    g_modifiers = (bShift ? kShift : 0) | (bControl ? kControl : 0) | (bAlt ? kAlt : 0);
}

short GetKeyState(int nVirtKey)
{
    const short kDown = (short)0x8000;
    unsigned m = g_modifiers;
    switch (nVirtKey)
    {
    case VK_SHIFT: return (m & kShift) ? kDown : 0;
    case VK_CONTROL: return (m & kControl) ? kDown : 0;
    case VK_MENU: return (m & kAlt) ? kDown : 0;
    }
    wxKeyCode k = WXK_NONE;
    if ((nVirtKey >= 'A' && nVirtKey <= 'Z') || (nVirtKey >= '0' && nVirtKey <= '9') || nVirtKey == ' ')
        k = (wxKeyCode)nVirtKey;
    else if (nVirtKey == VK_RETURN)
        k = WXK_RETURN;
    else if (nVirtKey == VK_ESCAPE)
        k = WXK_ESCAPE;
    if (k == WXK_NONE)
        return 0;
    return CallOnGui<bool>([k] { return wxGetKeyState(k); }) ? kDown : 0;
}
