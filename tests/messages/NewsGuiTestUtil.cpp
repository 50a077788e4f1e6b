#include "NewsGuiTestUtil.h"

#include <cstdlib>

void SaveScreenshot(const char* name)
{
    const char* dir = getenv("PARVEL_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    std::string cmd = std::string("timeout 10 import -window root '") + dir + "/" + name + ".png' >/dev/null 2>&1";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "screenshot %s failed\n", name);
}
