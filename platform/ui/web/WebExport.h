// What the HTML view library shows the program. The library is built with hidden visibility:
// public headers open with PARVEL_WEB_BEGIN_EXPORTS and close with PARVEL_WEB_END_EXPORTS;
// single declarations of internal headers that others use carry PARVEL_WEB_API.
#pragma once

#define PARVEL_WEB_API __attribute__((visibility("default")))
#define PARVEL_WEB_BEGIN_EXPORTS _Pragma("GCC visibility push(default)")
#define PARVEL_WEB_END_EXPORTS _Pragma("GCC visibility pop")
