#include "ui/directory_commands.h"

void start_directory_comparison() {}
void end_directory_comparison() {}
void next_directory_pair() {}
