// Message boxes: real modal dialogs on the GUI thread.
#include <wx/wx.h>
#include <wx/artprov.h>
#include "WndRecord.h"
#include "CodePage.h"
#include "CWinApp.h"

namespace
{
struct ButtonSpec
{
    int id;
    const char* label;  // UTF-8
};

// Labels as wx takes them, UTF-8, written as escapes: the system's charset is GBK, and the fuzz
// build's compiler has none.
const char kOk[] = "\347\241\256\345\256\232" /* u8: 确定 */;
const char kCancel[] = "\345\217\226\346\266\210" /* u8: 取消 */;
const char kAbort[] = "\344\270\255\346\255\242(A)" /* u8: 中止(A) */;
const char kRetry[] = "\351\207\215\350\257\225(R)" /* u8: 重试(R) */;
const char kIgnore[] = "\345\277\275\347\225\245(I)" /* u8: 忽略(I) */;
const char kYes[] = "\346\230\257(Y)" /* u8: 是(Y) */;
const char kNo[] = "\345\220\246(N)" /* u8: 否(N) */;

std::vector<ButtonSpec> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK)
    {
    case MB_OKCANCEL: return {{IDOK, kOk}, {IDCANCEL, kCancel}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, kAbort}, {IDRETRY, kRetry}, {IDIGNORE, kIgnore}};
    case MB_YESNOCANCEL: return {{IDYES, kYes}, {IDNO, kNo}, {IDCANCEL, kCancel}};
    case MB_YESNO: return {{IDYES, kYes}, {IDNO, kNo}};
    case MB_RETRYCANCEL: return {{IDRETRY, kRetry}, {IDCANCEL, kCancel}};
    default: return {{IDOK, kOk}};
    }
}

// The answer of a box closed without a button: cancel where there is one, else the only button.
int CloseAnswer(UINT type)
{
    auto b = ButtonsOf(type);
    for (auto& s : b)
        if (s.id == IDCANCEL)
            return IDCANCEL;
    return b.size() == 1 ? b[0].id : 0;
}

int ShowBox(HWND hWnd, const char* text, const char* caption, UINT type)
{
    wxWindow* pOwner = nullptr;
    if (WndRecord* p = LiveRec(hWnd))
    {
        HWND top = hWnd;
        for (WndRecord* r = p; r && r->hParent; r = LiveRec(top))
            top = r->hParent;
        if (WndRecord* t = LiveRec(top); t && t->pWx && t->pWx->IsShown())
            pOwner = t->pWx;
    }
    long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if (type & (MB_TOPMOST | MB_SYSTEMMODAL))
        style |= wxSTAY_ON_TOP;
    wxDialog dlg(pOwner, wxID_ANY, wxString::FromUTF8(CCodePage::AnsiToUtf8(caption).c_str()), wxDefaultPosition,
                 wxDefaultSize, style);
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wxArtID art;
    switch (type & MB_ICONMASK)
    {
    case MB_ICONHAND: art = wxART_ERROR; break;
    case MB_ICONQUESTION: art = wxART_QUESTION; break;
    case MB_ICONEXCLAMATION: art = wxART_WARNING; break;
    case MB_ICONASTERISK: art = wxART_INFORMATION; break;
    }
    if (!art.empty())
        row->Add(new wxStaticBitmap(&dlg, wxID_ANY, wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX)), 0,
                 wxALL | wxALIGN_TOP, 10);
    row->Add(new wxStaticText(&dlg, wxID_ANY, wxString::FromUTF8(CCodePage::AnsiToUtf8(text).c_str())), 1,
             wxALL | wxALIGN_CENTER_VERTICAL, 10);
    top->Add(row, 1, wxEXPAND);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto specs = ButtonsOf(type);
    size_t nDefault = ((type & MB_DEFMASK) >> 8) < specs.size() ? ((type & MB_DEFMASK) >> 8) : 0;
    for (size_t i = 0; i < specs.size(); ++i)
    {
        auto* b = new wxButton(&dlg, wxID_HIGHEST + specs[i].id, wxString::FromUTF8(specs[i].label));
        int id = specs[i].id;
        b->Bind(wxEVT_BUTTON, [&dlg, id](wxCommandEvent&) { dlg.EndModal(id); });
        buttons->Add(b, 0, wxALL, 5);
        if (i == nDefault)
        {
            b->SetDefault();
            b->SetFocus();
        }
    }
    top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 5);
    dlg.SetSizerAndFit(top);
    KeepWmName(&dlg);
    int closeAnswer = CloseAnswer(type);
    dlg.Bind(wxEVT_CLOSE_WINDOW, [&dlg, closeAnswer](wxCloseEvent& e) {
        if (closeAnswer)
            dlg.EndModal(closeAnswer);
        else if (e.CanVeto())
            e.Veto();
    });
    dlg.SetEscapeId(closeAnswer ? wxID_HIGHEST + closeAnswer : wxID_NONE);
    dlg.CentreOnParent();
    int r = dlg.ShowModal();
    if (r >= wxID_HIGHEST)
        r -= wxID_HIGHEST;
    return r;
}
}  // namespace

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "\264\355\316\363" /* 错误 */;
    int r = 0;
    RunOnGui([&] { r = ShowBox(hWnd, text, caption, uType); });
    return r;
}
