#ifndef PAIREX_COMMON_REPORT_H
#define PAIREX_COMMON_REPORT_H

// The one message box of the whole program. Every executable links exactly one
// implementation: the Windows program shows a modal box, pairex-diff writes a line
// on standard error, the tests record the call.

enum Severity { SEVERITY_ERROR = -1, SEVERITY_WARNING = -2, SEVERITY_INFO = -3 };

// Shows `text` with the caption and icon of `severity`; returns the box's result.
int report_message(const char* text, int severity);

#endif
