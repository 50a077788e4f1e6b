// A fresh process around the option library: runs one step in the working folder and prints the
// record, so each test starts from the built-in defaults and an empty line store.
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include "OptionCtrl.h"

static void Print()
{
    COptionData& d = COptionCtrl::GetOptionData();
    printf("FirstRun=%d MiniSizeAtExit=%d LargeIcons=%d MinuteToOff=%u LocalVersion=%s UserName=%s Printer=%s AutoRun=%d\n",
           d.IsFirstRun(), d.IsMiniSizeAtExit(), d.IsLargeIcons(), (unsigned)d.GetMinuteToOff(), d.GetLocalVersion().GetString(),
           d.GetUserNameA().GetString(), d.GetPrinter().GetString(), COptionCtrl().IsAutoRun());
}

int main(int argc, char** argv)
{
    int i = 1;
    if (i < argc && strcmp(argv[i], "--as-nobody") == 0)
    {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            return 99;
        ++i;
    }
    COptionCtrl ctrl;
    ctrl.SetPathInfo("/opt/parvel/bin/Parvel");
    for (; i < argc; ++i)
    {
        const char* cmd = argv[i];
        if (strcmp(cmd, "load") == 0)
            ctrl.LoadOptionFile();
        else if (strcmp(cmd, "not-first-run") == 0)
            ctrl.SetNotFirstRun();
        else if (strcmp(cmd, "user") == 0 && i + 1 < argc)
            ctrl.SetUserInfo(argv[++i], "sid", "tgt");
        else if (strcmp(cmd, "printer") == 0 && i + 1 < argc)
            ctrl.SetPrinterInfo(argv[++i]);
        else if (strcmp(cmd, "minutes") == 0 && i + 1 < argc)
        {
            ctrl.SetOptionInfo(atoi(argv[++i]));
            ctrl.SaveOptionToFile();
        }
        else if (strcmp(cmd, "autorun") == 0 && i + 1 < argc)
            ctrl.EnableAutoRun(atoi(argv[++i]));
        else if (strcmp(cmd, "mini") == 0 && i + 1 < argc)
            ctrl.EnableMiniSizeAtExit(atoi(argv[++i]));
        else
            return 2;
    }
    Print();
    return 0;
}
