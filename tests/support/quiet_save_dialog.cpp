// The save dialog for programs that run the merge layer without a user interface (the
// merge benchmark): always cancelled.
#include "merge/merge_platform.h"

int platform_save_dialog(std::string&) {
    return -1;
}
