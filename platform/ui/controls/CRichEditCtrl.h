// CRichEditCtrl and the rich edit window class ("RichEdit20A"): formatted GBK text drawn by the
// control itself, with character formats (bold, italic, underline, colour, size, face, link,
// hidden), paragraph alignment, a selection, link notifications (EN_LINK), and streaming in of
// plain text or a small subset of rich text (groups, \b \i \ul \v \par \line \tab, \'hh, \uN,
// escaped "\", "{" and "}"; destinations such as font and colour tables are skipped).
//
// Positions count characters: a two-byte GBK character is one, a paragraph break ("\r\n" given,
// "\r" kept) is one. Hidden text takes positions but is not shown.
#pragma once

#include "CWnd.h"
#include "UiExport.h"

#define RICHEDIT_CLASS "RichEdit20A"

// Messages.
#define EM_POSFROMCHAR 0x00D6
#define EM_CHARFROMPOS 0x00D7
#define EM_EXGETSEL (WM_USER + 52)
#define EM_EXSETSEL (WM_USER + 55)
#define EM_GETCHARFORMAT (WM_USER + 58)
#define EM_GETEVENTMASK (WM_USER + 59)
#define EM_GETPARAFORMAT (WM_USER + 61)
#define EM_GETSELTEXT (WM_USER + 62)
#define EM_HIDESELECTION (WM_USER + 63)
#define EM_SETCHARFORMAT (WM_USER + 68)
#define EM_SETEVENTMASK (WM_USER + 69)
#define EM_SETPARAFORMAT (WM_USER + 71)
#define EM_STREAMIN (WM_USER + 73)
#define EM_GETTEXTRANGE (WM_USER + 75)

// Notifications and the event mask.
#define EN_LINK 0x070B
#define ENM_LINK 0x04000000

// EM_SETCHARFORMAT targets.
#define SCF_DEFAULT 0x0000
#define SCF_SELECTION 0x0001
#define SCF_WORD 0x0002
#define SCF_ALL 0x0004

// Character format masks and effects.
#define CFM_BOLD 0x00000001
#define CFM_ITALIC 0x00000002
#define CFM_UNDERLINE 0x00000004
#define CFM_STRIKEOUT 0x00000008
#define CFM_PROTECTED 0x00000010
#define CFM_LINK 0x00000020
#define CFM_HIDDEN 0x00000100
#define CFM_SIZE 0x80000000
#define CFM_COLOR 0x40000000
#define CFM_FACE 0x20000000
#define CFE_BOLD 0x00000001
#define CFE_ITALIC 0x00000002
#define CFE_UNDERLINE 0x00000004
#define CFE_STRIKEOUT 0x00000008
#define CFE_PROTECTED 0x00000010
#define CFE_LINK 0x00000020
#define CFE_HIDDEN 0x00000100
#define CFE_AUTOCOLOR 0x40000000

// Paragraph formats.
#define PFM_ALIGNMENT 0x00000008
#define PFA_LEFT 1
#define PFA_RIGHT 2
#define PFA_CENTER 3

// Stream formats.
#define SF_TEXT 0x0001
#define SF_RTF 0x0002
#define SF_USECODEPAGE 0x0020
#define SFF_SELECTION 0x8000

typedef struct _charrange
{
    LONG cpMin;
    LONG cpMax;
} CHARRANGE;

typedef struct _textrange
{
    CHARRANGE chrg;
    LPSTR lpstrText;  // receives the text; large enough for the range
} TEXTRANGE;

typedef struct _charformat2
{
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;  // twips
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[32];  // GBK
    WORD wWeight;
    short sSpacing;
    COLORREF crBackColor;
    DWORD lcid;
    DWORD dwReserved;
    short sStyle;
    WORD wKerning;
    BYTE bUnderlineType;
    BYTE bAnimation;
    BYTE bRevAuthor;
    BYTE bReserved1;
} CHARFORMAT2, CHARFORMAT2A;

typedef struct _paraformat2
{
    UINT cbSize;
    DWORD dwMask;
    WORD wNumbering;
    WORD wEffects;
    LONG dxStartIndent;
    LONG dxRightIndent;
    LONG dxOffset;
    WORD wAlignment;
    short cTabCount;
    LONG rgxTabs[32];
} PARAFORMAT2;

typedef DWORD(CALLBACK* EDITSTREAMCALLBACK)(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb);

typedef struct _editstream
{
    DWORD_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
} EDITSTREAM;

typedef struct _enlink
{
    NMHDR nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    CHARRANGE chrg;
} ENLINK;

class PARVEL_UI_API CRichEditCtrl : public CWnd
{
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    CRichEditCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    long GetTextLength() const;
    void SetSel(long nStartChar, long nEndChar);  // (0, -1) all; start -1: no selection, caret kept
    void GetSel(long& nStartChar, long& nEndChar) const;
    void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE);
    CString GetSelText() const;
    CString GetTextRange(long nFirst, long nLast) const;
    // The mask tells which attributes are the same over the whole selection.
    DWORD GetSelectionCharFormat(CHARFORMAT2& cf) const;
    BOOL SetSelectionCharFormat(CHARFORMAT2& cf);
    // The selection, or the word at the caret when nothing is selected.
    BOOL SetWordCharFormat(CHARFORMAT2& cf);
    BOOL SetDefaultCharFormat(CHARFORMAT2& cf);
    DWORD GetParaFormat(PARAFORMAT2& pf) const;
    BOOL SetParaFormat(PARAFORMAT2& pf);
    long StreamIn(int nFormat, EDITSTREAM& es);
    DWORD GetEventMask() const;
    DWORD SetEventMask(DWORD dwEventMask);
    void HideSelection(BOOL bHide, BOOL bPerm);
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    CPoint PosFromChar(UINT nChar) const;
    int CharFromPos(CPoint pt) const;
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    BOOL Undo();
    // Whether the character at the position is hidden text.
    BOOL IsHiddenAt(long nChar) const;
};
