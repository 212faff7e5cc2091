#ifndef PAIREX_UI_FILE_COMMANDS_H
#define PAIREX_UI_FILE_COMMANDS_H

#include <string>

#include "merge/side.h"

// File 1 and File 2: runs the side's open picker; when the user confirms, remembers
// the chosen directory and loads the file into that side. A cancelled dialog changes
// nothing.
void pick_and_load(Side side);

// The save dialog of Write: runs the output picker; when the user confirms, keeps the
// chosen directory (with its separator) for the next time and returns 1 with the path
// in `path`; returns 0 when cancelled. The merge layer reaches it as
// platform_save_dialog.
int pick_output_path(std::string& path);

#endif
