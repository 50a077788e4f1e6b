// Fonts and text on our pixel buffers, through pango (usable from any thread).
#include "GdiImpl.h"

#include <pango/pangocairo.h>
#include <algorithm>
#include <cstring>
#include "CodePage.h"

namespace gdi {

namespace {

// The CJK font that stands in for the Windows faces on Linux.
const char kCjkFamily[] = "WenQuanYi Zen Hei";

PangoFontDescription* Describe(const Font* f)
{
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, f->familyUtf8.c_str());
    LONG h = f->lf.lfHeight;
    // Negative: the character (em) height; positive: the cell height with its internal leading.
    int px = h < 0 ? -h : (h > 0 ? std::max(1, (int)(h * 0.86 + 0.5)) : 12);
    pango_font_description_set_absolute_size(d, (double)px * PANGO_SCALE);
    int weight = f->lf.lfWeight == FW_DONTCARE ? FW_NORMAL : (int)f->lf.lfWeight;
    pango_font_description_set_weight(d, (PangoWeight)std::clamp(weight, 100, 1000));
    pango_font_description_set_style(d, f->lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

PangoLayout* MakeLayout(cairo_t* cr, const Font* f, const std::string& utf8)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* d = Describe(f);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    pango_layout_set_text(layout, utf8.c_str(), (int)utf8.size());
    if (f->lf.lfUnderline || f->lf.lfStrikeOut)
    {
        PangoAttrList* attrs = pango_attr_list_new();
        if (f->lf.lfUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (f->lf.lfStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    return layout;
}

// A scratch surface for measuring.
struct Measure
{
    Measure()
    {
        surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cr = cairo_create(surface);
    }
    ~Measure()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
    cairo_t* cr;
};

}  // namespace

// "&x" marks a mnemonic (dropped here), "&&" is one "&". GBK trail bytes are never 0x26.
std::string StripPrefix(const std::string& gbk)
{
    std::string out;
    for (size_t i = 0; i < gbk.size(); ++i)
    {
        unsigned char c = (unsigned char)gbk[i];
        if (c > 0x80 && i + 1 < gbk.size())
        {
            out += gbk[i];
            out += gbk[++i];
            continue;
        }
        if (c == '&')
        {
            if (i + 1 < gbk.size() && gbk[i + 1] == '&') { out += '&'; ++i; }
            continue;
        }
        out += gbk[i];
    }
    return out;
}

std::string FamilyForFace(const char* faceGbk)
{
    std::string face = faceGbk ? faceGbk : "";
    // The Chinese names as GBK escapes (the fuzz build's compiler has no GBK charset).
    static const char* const windowsFaces[] = {"\313\316\314\345" /* 宋体 */,
                                               "\320\302\313\316\314\345" /* 新宋体 */,
                                               "\272\332\314\345" /* 黑体 */,
                                               "\316\242\310\355\321\305\272\332" /* 微软雅黑 */,
                                               "\277\254\314\345" /* 楷体 */,
                                               "\267\302\313\316" /* 仿宋 */,
                                               "SimSun", "NSimSun", "SimHei", "Microsoft YaHei",
                                               "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif",
                                               "Tahoma", "System", ""};
    for (const char* w : windowsFaces)
        if (face == w) return kCjkFamily;
    // Other faces are asked for by name; the CJK font covers what they lack.
    return CCodePage::AnsiToUtf8(face) + "," + kCjkFamily;
}

Font* DefaultFont()
{
    static Font* f = [] {
        Font* d = new Font;
        d->lf.lfHeight = -12;
        d->lf.lfWeight = FW_NORMAL;
        d->lf.lfCharSet = GB2312_CHARSET;
        std::strcpy(d->lf.lfFaceName, "\313\316\314\345" /* 宋体 */);
        d->familyUtf8 = kCjkFamily;
        d->stock = true;
        Register(d);
        return d;
    }();
    return f;
}

int DrawTextOn(DC* dc, const std::string& gbkIn, RECT* rc, UINT format)
{
    std::string gbk = (format & DT_NOPREFIX) ? gbkIn : StripPrefix(gbkIn);
    std::string utf8 = CCodePage::AnsiToUtf8(gbk);
    const Font* font = dc->font ? dc->font : DefaultFont();
    int boxW = rc->right - rc->left, boxH = rc->bottom - rc->top;

    auto setUp = [&](PangoLayout* layout) {
        if (format & DT_SINGLELINE)
            pango_layout_set_single_paragraph_mode(layout, TRUE);
        else if ((format & DT_WORDBREAK) && boxW > 0)
        {
            pango_layout_set_width(layout, boxW * PANGO_SCALE);
            pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        }
        if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) && boxW > 0)
        {
            pango_layout_set_width(layout, boxW * PANGO_SCALE);
            pango_layout_set_ellipsize(layout,
                                       (format & DT_PATH_ELLIPSIS) ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END);
            // Wrapped text fills the box and is cut at its last whole line, not at its first.
            if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) && boxH > 0)
                pango_layout_set_height(layout, boxH * PANGO_SCALE);
        }
    };

    if (format & DT_CALCRECT)
    {
        Measure m;
        PangoLayout* layout = MakeLayout(m.cr, font, utf8);
        setUp(layout);
        int w = 0, h = 0;
        pango_layout_get_pixel_size(layout, &w, &h);
        g_object_unref(layout);
        rc->right = rc->left + w;
        rc->bottom = rc->top + h;
        return h;
    }

    Bitmap* b = dc->bitmap;
    if (!b) return 0;
    std::lock_guard<std::mutex> g(b->lock);
    cairo_t* cr = cairo_create(b->surface);
    PangoLayout* layout = MakeLayout(cr, font, utf8);
    setUp(layout);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    int x = rc->left, y = rc->top;
    if (format & DT_CENTER) x = rc->left + (boxW - w) / 2;
    else if (format & DT_RIGHT) x = rc->right - w;
    if (format & DT_SINGLELINE)
    {
        if (format & DT_VCENTER) y = rc->top + (boxH - h) / 2;
        else if (format & DT_BOTTOM) y = rc->bottom - h;
    }
    if (!(format & DT_NOCLIP))
    {
        cairo_rectangle(cr, rc->left, rc->top, boxW, boxH);
        cairo_clip(cr);
    }
    if (dc->bkMode == OPAQUE)
    {
        cairo_set_source_rgb(cr, GetRValue(dc->bkColor) / 255.0, GetGValue(dc->bkColor) / 255.0,
                             GetBValue(dc->bkColor) / 255.0);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, GetRValue(dc->textColor) / 255.0, GetGValue(dc->textColor) / 255.0,
                         GetBValue(dc->textColor) / 255.0);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_flush(b->surface);
    return h;
}

SIZE TextExtent(DC* dc, const std::string& gbk)
{
    Measure m;
    PangoLayout* layout = MakeLayout(m.cr, dc && dc->font ? dc->font : DefaultFont(), CCodePage::AnsiToUtf8(gbk));
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    g_object_unref(layout);
    return SIZE{w, h};
}

void FontMetrics(DC* dc, TEXTMETRICA* tm)
{
    Measure m;
    const Font* font = dc && dc->font ? dc->font : DefaultFont();
    PangoContext* ctx = pango_cairo_create_context(m.cr);
    PangoFontDescription* d = Describe(font);
    PangoFontMetrics* fm = pango_context_get_metrics(ctx, d, nullptr);
    std::memset(tm, 0, sizeof *tm);
    tm->tmAscent = PANGO_PIXELS(pango_font_metrics_get_ascent(fm));
    tm->tmDescent = PANGO_PIXELS(pango_font_metrics_get_descent(fm));
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    tm->tmAveCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(fm));
    tm->tmMaxCharWidth = PANGO_PIXELS(pango_font_metrics_get_approximate_digit_width(fm)) * 2;
    LONG em = font->lf.lfHeight < 0 ? -font->lf.lfHeight : tm->tmHeight;
    tm->tmInternalLeading = std::max<LONG>(0, tm->tmHeight - em);
    tm->tmWeight = font->lf.lfWeight ? font->lf.lfWeight : FW_NORMAL;
    pango_font_metrics_unref(fm);
    pango_font_description_free(d);
    g_object_unref(ctx);
}

}  // namespace gdi

using namespace gdi;

HFONT CreateFontIndirect(const LOGFONTA* lf)
{
    if (!lf) { SetLastError(ERROR_INVALID_PARAMETER); return nullptr; }
    Font* f = new Font;
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    f->familyUtf8 = FamilyForFace(f->lf.lfFaceName);
    Register(f);
    return (HFONT)(void*)f;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR faceName)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = (BYTE)(italic != 0);
    lf.lfUnderline = (BYTE)(underline != 0);
    lf.lfStrikeOut = (BYTE)(strikeOut != 0);
    lf.lfCharSet = (BYTE)charSet;
    lf.lfOutPrecision = (BYTE)outPrecision;
    lf.lfClipPrecision = (BYTE)clipPrecision;
    lf.lfQuality = (BYTE)quality;
    lf.lfPitchAndFamily = (BYTE)pitchAndFamily;
    if (faceName)
    {
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    return CreateFontIndirect(&lf);
}

int DrawText(HDC hdc, LPCSTR text, int len, RECT* rc, UINT format)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !text || !rc) return 0;
    std::string s = len < 0 ? std::string(text) : std::string(text, (size_t)len);
    return DrawTextOn(dc, s, rc, format);
}

BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int len)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !text || len < 0) return FALSE;
    RECT rc{x, y, x + 32767, y + 32767};
    DrawTextOn(dc, std::string(text, (size_t)len), &rc, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int len, SIZE* size)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !text || !size || len < 0) return FALSE;
    *size = TextExtent(dc, std::string(text, (size_t)len));
    return TRUE;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* tm)
{
    DC* dc = LookUpDC(hdc);
    if (!dc || !tm) return FALSE;
    FontMetrics(dc, tm);
    return TRUE;
}
