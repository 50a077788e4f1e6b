// Command ids of the framework's own commands.
#pragma once

#define ID_FILE_NEW 0xE100
#define ID_FILE_CLOSE 0xE102
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
