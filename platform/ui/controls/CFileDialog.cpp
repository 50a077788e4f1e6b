// The file dialogs on GtkFileChooserDialog, run modally by RunGtkDialog.
#include "CFileDialog.h"

#include <wx/wx.h>
#include <gtk/gtk.h>
#include <string>
#include <vector>
#include "CodePage.h"
#include "CWinApp.h"
#include "GtkDialogRun.h"
#include "WndRecord.h"

namespace
{
std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Windows matches file patterns without regard to case; GTK's patterns do: each letter becomes
// a class of both cases.
std::string CaseFreePattern(const std::string& pattern)
{
    std::string out;
    for (char ch : pattern)
    {
        if (g_ascii_isalpha(ch))
        {
            out += '[';
            out += g_ascii_tolower(ch);
            out += g_ascii_toupper(ch);
            out += ']';
        }
        else
            out += ch;
    }
    return out;
}

// "description|patterns|description|patterns||": one filter per pair; blanks around the
// patterns are not part of them, as on Windows.
void AddFilters(GtkFileChooser* pChooser, const std::string& filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
    {
        if (parts[i].empty() && parts[i + 1].empty())
            break;
        GtkFileFilter* pFilter = gtk_file_filter_new();
        gtk_file_filter_set_name(pFilter, CCodePage::AnsiToUtf8(parts[i]).c_str());
        const std::string& patterns = parts[i + 1];
        size_t from = 0;
        for (;;)
        {
            size_t semi = patterns.find(';', from);
            std::string one = Trim(patterns.substr(from, semi == std::string::npos ? std::string::npos : semi - from));
            if (!one.empty())
                gtk_file_filter_add_pattern(pFilter, CaseFreePattern(CCodePage::AnsiToUtf8(one)).c_str());
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        gtk_file_chooser_add_filter(pChooser, pFilter);
    }
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : m_bOpenFileDialog(bOpenFileDialog), m_dwFlags(dwFlags), m_strDefExt(lpszDefExt ? lpszDefExt : ""),
      m_strFileName(lpszFileName ? lpszFileName : ""), m_strFilter(lpszFilter ? lpszFilter : ""),
      m_pParentWnd(pParentWnd)
{
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal()
{
    std::string strFile;
    int nResponse = RunGtkDialog(
        [&]() -> GtkWidget* {
            // The system's own title for the kind of dialog; GTK takes UTF-8.
            const char* pszOpen = "\346\211\223\345\274\200" /* u8: 打开 */;
            GtkWidget* pDialog = gtk_file_chooser_dialog_new(
                m_bOpenFileDialog ? pszOpen : "\345\217\246\345\255\230\344\270\272" /* u8: 另存为 */,
                GtkOwnerWindow(m_pParentWnd), m_bOpenFileDialog ? GTK_FILE_CHOOSER_ACTION_OPEN : GTK_FILE_CHOOSER_ACTION_SAVE,
                "\345\217\226\346\266\210" /* u8: 取消 */, GTK_RESPONSE_CANCEL,
                m_bOpenFileDialog ? pszOpen : "\344\277\235\345\255\230" /* u8: 保存 */, GTK_RESPONSE_ACCEPT, nullptr);
            if (!pDialog)
                return nullptr;
            GtkFileChooser* pChooser = GTK_FILE_CHOOSER(pDialog);
            gtk_file_chooser_set_local_only(pChooser, TRUE);
            gtk_dialog_set_default_response(GTK_DIALOG(pDialog), GTK_RESPONSE_ACCEPT);
            if (!m_bOpenFileDialog)
                gtk_file_chooser_set_do_overwrite_confirmation(pChooser, (m_dwFlags & OFN_OVERWRITEPROMPT) != 0);
            if (!m_strFileName.IsEmpty())
            {
                std::string name = CCodePage::AnsiToUtf8(m_strFileName.GetString());
                if (m_bOpenFileDialog)
                    gtk_file_chooser_set_filename(pChooser, name.c_str());
                else
                    gtk_file_chooser_set_current_name(pChooser, name.c_str());
            }
            AddFilters(pChooser, m_strFilter.GetString());
            return pDialog;
        },
        [&](GtkWidget* pDialog, int nAnswer) {
            if (nAnswer != GTK_RESPONSE_ACCEPT)
                return;
            if (gchar* psz = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(pDialog)))
            {
                strFile = psz;
                g_free(psz);
            }
        });
    if (nResponse != GTK_RESPONSE_ACCEPT || strFile.empty())
        return IDCANCEL;
    m_strPathName = CCodePage::Utf8ToAnsi(strFile).c_str();
    return IDOK;
}

CString CFileDialog::GetPathName() const
{
    return m_strPathName;
}
