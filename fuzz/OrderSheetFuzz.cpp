// An order sheet file, whatever its bytes: the reader gives JSON rows or a failure, never a crash
// or a leak.
#include "FuzzSupport.h"
#include "Mapform.h"

// A valid sheet must read before any input counts: a reader that cannot start at all refuses
// every input, and the run would pass without reading one sheet.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char* text = nullptr;
    FUZZ_CHECK(MF_ParseOrderInExcel(ORDER_SHEET_SEED, &text));
    FUZZ_CHECK(text && std::strncmp(text, "[[", 2) == 0);
    std::free(text);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ScratchFolder() + "/orders.xls";
    WriteWhole(path, data, size);
    char* text = nullptr;
    if (MF_ParseOrderInExcel(path.c_str(), &text))
    {
        FUZZ_CHECK(text);
        const size_t n = std::strlen(text);
        FUZZ_CHECK(n >= 2 && text[0] == '[' && text[n - 1] == ']');
        std::free(text);
    }
    else
        FUZZ_CHECK(!text);
    return 0;
}
