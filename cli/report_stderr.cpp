#include <cstdio>

#include "common/report.h"

// pairex-diff has no windows: every message box becomes one line on standard error.
int report_message(const char* text, int /*severity*/) {
    std::fputs(text, stderr);
    // A message that already ends with a line feed is not given a second one.
    const char* end = text;
    while (*end != '\0') {
        ++end;
    }
    if (end == text || end[-1] != '\n') {
        std::fputc('\n', stderr);
    }
    std::fflush(stderr);
    return 1;
}
