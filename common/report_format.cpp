#include "common/report.h"

std::string format_message(const char* format, const char* arg1, const char* arg2) {
    std::string text;
    const char* args[2] = {arg1, arg2};
    int next = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            const char* a = next < 2 ? args[next++] : nullptr;
            text += a != nullptr ? a : "";
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}
