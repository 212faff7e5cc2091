// The last rename of a write: it replaces the target and reaches the disk before it
// returns, so that a crash leaves either the old file or the new one.
#include "ui/win32/windows_api.h"

#include "merge/merge_platform.h"

int platform_commit_rename(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
}
