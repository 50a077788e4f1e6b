// What libOption.so shows the program: the option facade and the option record. The library is
// built with hidden visibility; its file store and registry wrapper stay inside.
#pragma once

#define OPTION_API __attribute__((visibility("default")))
