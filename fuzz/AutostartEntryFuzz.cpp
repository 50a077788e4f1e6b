// Autostart entries: an entry file of any bytes reads without harm, and a value text written
// through an entry reads back as it was written.
#include "AutostartEntry.h"
#include "CodePage.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string folder = ScratchFolder() + "/autostart";
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string text;
    if (data[0] & 1)
    {
        // An entry someone else wrote (or broke) in the folder.
        CAutostartEntry::Delete(folder, "Parvel");
        FUZZ_CHECK(CAutostartEntry::Write(folder, "Parvel", "Parvel") == ERROR_SUCCESS);
        std::string path = folder + "/parvel-run-parvel.desktop";
        FUZZ_CHECK(access(path.c_str(), F_OK) == 0);
        WriteWhole(path, rest.data(), rest.size());
        FUZZ_CHECK(CAutostartEntry::Query(folder, "Parvel", text));
        return 0;
    }
    // A value text (GBK, a C string) that survives the trip through UTF-8 must come back whole.
    const std::string value = rest.c_str();
    const std::string name = (data[0] & 2) ? std::string("Parvel") : value.substr(0, 64);
    if (CCodePage::Utf8ToAnsi(CCodePage::AnsiToUtf8(value)) != value)
        return 0;
    if (CAutostartEntry::Write(folder, name, value) != ERROR_SUCCESS)
        return 0; // a name the file system refuses (too long once escaped)
    FUZZ_CHECK(CAutostartEntry::Query(folder, name, text));
    FUZZ_CHECK(text == value);
    FUZZ_CHECK(CAutostartEntry::Delete(folder, name) == ERROR_SUCCESS);
    return 0;
}
