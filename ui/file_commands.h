#ifndef PAIREX_UI_FILE_COMMANDS_H
#define PAIREX_UI_FILE_COMMANDS_H

#include <string>

// File 1 and File 2: runs the side's open picker; when the user confirms, remembers
// the chosen directory and loads the file into that side. A cancelled dialog changes
// nothing. `which` is CMD_FILE1 or CMD_FILE2.
void pick_and_load(int which);

// The save dialog of Write: runs the output picker; when the user confirms, keeps the
// chosen directory (with its separator) and returns 1 with the path in `path`;
// returns 0 when cancelled.
int pick_output_path(std::string& path);

#endif
