// The benchmark runs without a window system: messages go to standard error.
#include <cstdio>

#include "common/report.h"

int report_message(const char* text, int severity) {
    std::fprintf(stderr, "[%d] %s\n", severity, text);
    return 1;
}
