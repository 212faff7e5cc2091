#include "ui/directory_commands.h"

#include "merge/document.h"
#include "merge/merge_platform.h"

void start_directory_comparison() {}

void skip_directory_pair() {
    reset_document();
    platform_post_request(REQUEST_NEXT_PAIR);
}

void end_directory_comparison() {}
void next_directory_pair() {}
