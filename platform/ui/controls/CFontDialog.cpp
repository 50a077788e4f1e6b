// The font dialog on GtkFontChooserDialog, run modally by RunGtkDialog. A character format's
// size is in twips; Pango's in points times PANGO_SCALE.
#include "CFontDialog.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#include <cstring>
#include <string>
#include "CodePage.h"
#include "GtkDialogRun.h"

namespace
{
PangoFontDescription* DescriptionOf(const CHARFORMAT2& cf)
{
    PangoFontDescription* pDesc = pango_font_description_new();
    if ((cf.dwMask & CFM_FACE) && cf.szFaceName[0])
        pango_font_description_set_family(pDesc, CCodePage::AnsiToUtf8(cf.szFaceName).c_str());
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0)
        pango_font_description_set_size(pDesc, (gint)((long long)cf.yHeight * PANGO_SCALE / 20));
    if (cf.dwMask & CFM_BOLD)
        pango_font_description_set_weight(pDesc, (cf.dwEffects & CFE_BOLD) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    if (cf.dwMask & CFM_ITALIC)
        pango_font_description_set_style(pDesc, (cf.dwEffects & CFE_ITALIC) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return pDesc;
}

// The chooser lists only installed families: a face the system stands in for (宋体 on a machine
// without it) starts as the family that is drawn in its place, so the size and style still show.
void ResolveFamily(PangoFontDescription* pDesc)
{
    if (!pango_font_description_get_family(pDesc))
        return;
    PangoFontMap* pMap = pango_cairo_font_map_get_default();
    PangoContext* pContext = pango_font_map_create_context(pMap);
    if (PangoFont* pFont = pango_font_map_load_font(pMap, pContext, pDesc))
    {
        PangoFontDescription* pReal = pango_font_describe(pFont);
        if (const char* pszFamily = pango_font_description_get_family(pReal))
            pango_font_description_set_family(pDesc, pszFamily);
        pango_font_description_free(pReal);
        g_object_unref(pFont);
    }
    g_object_unref(pContext);
}

void FillFrom(CHARFORMAT2& cf, const PangoFontDescription* pDesc)
{
    cf.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC;
    cf.dwEffects &= ~(CFE_BOLD | CFE_ITALIC);
    if (pango_font_description_get_weight(pDesc) >= PANGO_WEIGHT_BOLD)
        cf.dwEffects |= CFE_BOLD;
    if (pango_font_description_get_style(pDesc) != PANGO_STYLE_NORMAL)
        cf.dwEffects |= CFE_ITALIC;
    if (gint nSize = pango_font_description_get_size(pDesc); nSize > 0)
        cf.yHeight = (LONG)((long long)nSize * 20 / PANGO_SCALE);
    std::memset(cf.szFaceName, 0, sizeof(cf.szFaceName));
    if (const char* pszFamily = pango_font_description_get_family(pDesc))
    {
        // A face name too long for the record is cut at a whole GBK character.
        std::string face = CCodePage::Utf8ToAnsi(pszFamily);
        size_t n = 0;
        while (n < face.size())
        {
            size_t w = (unsigned char)face[n] > 0x80 && n + 1 < face.size() ? 2 : 1;
            if (n + w > sizeof(cf.szFaceName) - 1)
                break;
            n += w;
        }
        std::memcpy(cf.szFaceName, face.data(), n);
    }
}
}  // namespace

CFontDialog::CFontDialog(const CHARFORMAT2& charformat, DWORD dwFlags, CWnd* pParentWnd)
    : m_cf(charformat), m_dwFlags(dwFlags), m_pParentWnd(pParentWnd)
{
    m_cf.cbSize = sizeof(m_cf);
}

CFontDialog::~CFontDialog() = default;

INT_PTR CFontDialog::DoModal()
{
    CHARFORMAT2 chosen = m_cf;
    int nResponse = RunGtkDialog(
        [&]() -> GtkWidget* {
            GtkWidget* pDialog = gtk_font_chooser_dialog_new("\345\255\227\344\275\223" /* u8: 字体 */,
                                                             GtkOwnerWindow(m_pParentWnd));
            if (!pDialog)
                return nullptr;
            PangoFontDescription* pDesc = DescriptionOf(m_cf);
            ResolveFamily(pDesc);
            gtk_font_chooser_set_font_desc(GTK_FONT_CHOOSER(pDialog), pDesc);
            pango_font_description_free(pDesc);
            return pDialog;
        },
        [&](GtkWidget* pDialog, int nAnswer) {
            if (nAnswer != GTK_RESPONSE_OK)
                return;
            if (PangoFontDescription* pDesc = gtk_font_chooser_get_font_desc(GTK_FONT_CHOOSER(pDialog)))
            {
                FillFrom(chosen, pDesc);
                pango_font_description_free(pDesc);
            }
        });
    if (nResponse != GTK_RESPONSE_OK)
        return IDCANCEL;
    m_cf = chosen;
    return IDOK;
}

void CFontDialog::GetCharFormat(CHARFORMAT2& cf) const
{
    cf = m_cf;
}
