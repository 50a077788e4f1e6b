// What the windowing library shows other libraries and the program. The library is built with
// hidden visibility: public headers open with PARVEL_UI_BEGIN_EXPORTS and close with
// PARVEL_UI_END_EXPORTS; single declarations of internal headers that tests or other libraries
// use carry PARVEL_UI_API.
#pragma once

#define PARVEL_UI_API __attribute__((visibility("default")))
#define PARVEL_UI_BEGIN_EXPORTS _Pragma("GCC visibility push(default)")
#define PARVEL_UI_END_EXPORTS _Pragma("GCC visibility pop")
