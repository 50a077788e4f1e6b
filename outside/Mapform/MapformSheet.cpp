// Reads the first worksheet of a .xls file with FreeXL and writes it to standard output as UTF-8
// JSON text, an array of rows, each an array of cell texts. Mapform runs it as a child process
// under memory and time limits, so that a fault of the library on a crafted sheet ends this
// process and not the client. Exit status 0 when the whole sheet was written.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <freexl.h>
#include <string>
#include <unistd.h>

// What FreeXL leaves unfreed on a bad sheet goes back with the process.
extern "C" int __lsan_is_turned_off() { return 1; }

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

bool WriteAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n <= 0) return false;
        done += (size_t)n;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    const void* xls = nullptr;
    std::string json;
    bool ok = freexl_open(argv[1], &xls) == FREEXL_OK && ReadSheet(xls, json);
    if (xls) freexl_close(xls);
    return ok && WriteAll(1, json) ? 0 : 1;
}
