#ifndef PAIREX_COMMON_REPORT_H
#define PAIREX_COMMON_REPORT_H

#include <string>

// The one message box of the whole program. Every executable links exactly one
// implementation: the Windows program shows a modal box, pairex-diff writes a line
// on standard error, the tests record the call.

enum Severity { SEVERITY_ERROR = -1, SEVERITY_WARNING = -2, SEVERITY_INFO = -3 };

// Shows `text` with the caption and icon of `severity`; returns the box's result.
int report_message(const char* text, int severity);

// `format` with each "%s" replaced by the next of up to two strings (a missing one
// counts as empty), kept whole whatever their length.
std::string format_message(const char* format, const char* arg1 = nullptr,
                           const char* arg2 = nullptr);

#endif
