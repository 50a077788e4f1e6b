// The program's entry: the framework runs the application object (the program's one global).
#include "CWinApp.h"

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
