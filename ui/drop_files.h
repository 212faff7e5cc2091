#ifndef PAIREX_UI_DROP_FILES_H
#define PAIREX_UI_DROP_FILES_H

#include <optional>
#include <string>
#include <vector>

#include "merge/side.h"

// Files dropped on the main window from the desktop or a file manager.

// The side a point of the main window's client area (`width` x `height`) stands for:
// the left title bar, the left pane and the left half of the position bar are the left
// side, the rest the right side. Nothing outside the client area.
std::optional<Side> side_at_point(int width, int height, int x, int y);

// Refusals, shown as warnings; nothing is loaded after any of them.
constexpr const char* DROP_TOO_MANY =
    "Only two files can be compared: drop one file on a pane, or two files together.";
constexpr const char* DROP_DIRECTORY =
    "%s is a directory, not a file.\nDrop one file on a pane, or two files together.";
constexpr const char* DROP_OUTSIDE = "Drop the file on the left or the right pane.";
constexpr const char* DROP_DURING_WALK =
    "Files cannot be dropped while a directory comparison runs.";

// Loads dropped `paths`: one file into `side` (where it was dropped), two into File 1
// and File 2 in the order given. When both sides then hold a file, the comparison is
// posted, as at start-up. Returns 0 when loaded, 1 when refused (reported, nothing
// changed), -1 when a load failed (reported by the load).
int drop_files(const std::vector<std::string>& paths, std::optional<Side> side);

#endif
