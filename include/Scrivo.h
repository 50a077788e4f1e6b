// Scrivo: the outside logging library. Levelled printf-style trace into files under a log folder.
#pragma once

// libScrivo.so is built with hidden visibility and shows these calls only.
#define SCRIVO_API __attribute__((visibility("default")))

namespace Scrivo {
SCRIVO_API void setLogPath(const char* path);
SCRIVO_API void setLogLevel(int level);
// Starts logging into files named from prefix under the log path.
SCRIVO_API void init(const char* prefix);
SCRIVO_API void trace(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
SCRIVO_API void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
}
