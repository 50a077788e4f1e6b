// Helpers of the windowing tests: the shared bounded waits on the GUI thread.
#pragma once

#include "CWnd.h"
#include "../support/GuiWait.h"
