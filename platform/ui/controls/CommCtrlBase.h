// What the common controls share: the notification codes every control may send.
#pragma once

#include "WinUser.h"

#define NM_FIRST (0U - 0U)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_HOVER (NM_FIRST - 13)
