// An order sheet: the first worksheet of a .xls (BIFF) file as UTF-8 JSON text,
// an array of rows, each an array of cell texts.
#include "Mapform.h"

#include <CodePage.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <freexl.h>
#include <string>
#include <sys/stat.h>

namespace {

void AppendJsonString(std::string& out, const char* s)
{
    out += '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        switch (*p) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (*p < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof(esc), "\\u%04x", *p);
                out += esc;
            } else {
                out += static_cast<char>(*p);
            }
        }
    }
    out += '"';
}

// Whole numbers (waybill numbers come as doubles) without decimals, others in their shortest exact form.
std::string NumberText(double v)
{
    char buf[64];
    if (v == 0) return "0";
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e18) {
        std::snprintf(buf, sizeof(buf), "%.0f", v);
        return buf;
    }
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof(buf), "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

std::string CellText(const FreeXL_CellValue& cell)
{
    switch (cell.type) {
    case FREEXL_CELL_INT: return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE: return NumberText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: return cell.value.text_value ? cell.value.text_value : "";
    default: return "";
    }
}

bool IsFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The client hands over an ANSI (GBK) path; the file system names are UTF-8.
std::string FileName(const char* path)
{
    std::string utf8 = CCodePage::AnsiToUtf8(path);
    if (IsFile(utf8)) return utf8;
    return path;
}

bool ReadSheet(const void* xls, std::string& out)
{
    unsigned int sheets = 0, password = 0;
    if (freexl_get_info(xls, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) return false;
    if (freexl_get_info(xls, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return false;
    if (freexl_select_active_worksheet(xls, 0) != FREEXL_OK) return false;
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(xls, &rows, &cols) != FREEXL_OK) return false;

    out.assign(1, '[');
    for (unsigned int r = 0; r < rows; ++r) {
        if (r) out += ',';
        out += '[';
        for (unsigned short c = 0; c < cols; ++c) {
            if (c) out += ',';
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls, r, c, &cell) != FREEXL_OK) return false;
            AppendJsonString(out, CellText(cell).c_str());
        }
        out += ']';
    }
    out += ']';
    return true;
}

} // namespace

bool MF_ParseOrderInExcel(const char* path, char** text)
{
    if (!path || !*path || !text) return false;
    std::string name = FileName(path);
    if (!IsFile(name)) return false;

    const void* xls = nullptr;
    std::string json;
    bool ok = freexl_open(name.c_str(), &xls) == FREEXL_OK && ReadSheet(xls, json);
    if (xls) freexl_close(xls);
    if (!ok) return false;

    char* copy = static_cast<char*>(std::malloc(json.size() + 1));
    if (!copy) return false;
    std::memcpy(copy, json.c_str(), json.size() + 1);
    *text = copy;
    return true;
}
