#ifndef PAIREX_UI_WIN32_WINDOWS_API_H
#define PAIREX_UI_WIN32_WINDOWS_API_H

// The one way the Windows glue includes the system headers. The system's error header
// defines SEVERITY_ERROR as a macro, which would rename the report seam's severity:
// declare the seam first, then drop the macro.
#include "common/report.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#undef SEVERITY_ERROR

// The system's own cursors and icons by number, for the wide loaders (the plain names
// are narrow in a build without UNICODE).
inline LPCWSTR system_resource(LPCSTR id) {
    return reinterpret_cast<LPCWSTR>(id);
}

#endif
