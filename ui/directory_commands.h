#ifndef PAIREX_UI_DIRECTORY_COMMANDS_H
#define PAIREX_UI_DIRECTORY_COMMANDS_H

#include <string>

// The directory walk's commands: the three directory pickers and the menu around the
// walk of dircompare/dir_walk.h.

// The name that stands in the pickers' hidden file-name box, so that OK is accepted
// without a file being picked.
constexpr const char* DIRECTORY_PICK_NAME = "x$y$z$w$";

// Compare Directories (314): asks for Directory 1, Directory 2 and the Target
// Directory, starts the walk with its menu and runs its first step. A cancelled picker
// (or a listing without memory) leaves everything as it was, silently.
void start_directory_comparison();
// Skip (312): drops the pair in the panes and moves on.
void skip_directory_pair();
// Cancel (313): ends the walk without the success message; the ordinary menu returns.
void end_directory_comparison();
// The next step (315); the ordinary menu returns when it ends the walk.
void next_directory_pair();

// The directory of a directory picker's answer: the path cut at its last separator (a
// root comes out as a drive alone, "C:"; on a system without drives as "/").
std::string picked_directory(const char* picked_path);

#endif
