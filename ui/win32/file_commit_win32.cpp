// The last rename of a write: it replaces the target and reaches the disk before it
// returns, so that a crash leaves either the old file or the new one.
#include "ui/win32/windows_api.h"

#include "merge/merge_platform.h"
#include "ui/win32/wide.h"

int platform_commit_rename(const char* from, const char* to) {
    std::wstring wide_from;
    std::wstring wide_to;
    if (!wide_name(from, wide_from) || !wide_name(to, wide_to)) {
        return -1;
    }
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : -1;
}
