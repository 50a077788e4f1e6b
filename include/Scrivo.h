// Scrivo: the outside logging library. Levelled printf-style trace into files under a log folder.
#pragma once

namespace Scrivo {
void setLogPath(const char* path);
void setLogLevel(int level);
// Starts logging into files named from prefix under the log path.
void init(const char* prefix);
void trace(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
}
