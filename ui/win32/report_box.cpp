#include "ui/win32/windows_api.h"

#include "common/report.h"
#include "ui/win32/wide.h"

int report_message(const char* text, int severity) {
    const char* caption = "Error";
    UINT icon = MB_ICONSTOP;
    if (severity == SEVERITY_WARNING) {
        caption = "Warning";
        icon = MB_ICONEXCLAMATION;
    } else if (severity == SEVERITY_INFO) {
        caption = "Info";
        icon = MB_ICONINFORMATION;
    }
    // No owner window: the box also works before the main window exists.
    return MessageBoxW(nullptr, wide(text).c_str(), wide(caption).c_str(),
                       MB_OK | icon | MB_TASKMODAL);
}
