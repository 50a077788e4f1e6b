// What the base library shows other libraries and the program. The library is built with hidden
// visibility: public headers open with PARVEL_BASE_BEGIN_EXPORTS and close with
// PARVEL_BASE_END_EXPORTS; single declarations of internal headers that others use carry
// PARVEL_BASE_API.
#pragma once

#define PARVEL_BASE_API __attribute__((visibility("default")))
#define PARVEL_BASE_BEGIN_EXPORTS _Pragma("GCC visibility push(default)")
#define PARVEL_BASE_END_EXPORTS _Pragma("GCC visibility pop")
