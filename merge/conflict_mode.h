#ifndef PAIREX_MERGE_CONFLICT_MODE_H
#define PAIREX_MERGE_CONFLICT_MODE_H

#include <string>

#include "merge/document.h"

// Conflict mode: the two sides of one file that git left with conflict markers are
// merged like two files, and Write puts the result back into that file, each line
// with the end it had there.

// Loads the sides of the conflict file `path`: the left side its "ours" parts, the
// right side its "theirs" parts, each titled with its marker's label. Returns 0; 1 when
// the file has no markers (reported; both sides then hold the file as it is); -1 after
// reporting that it could not be read or that its markers do not pair up (nothing is
// loaded then).
int load_conflict_file(const char* path);

// Compare Files in conflict mode: one block per conflict, its "ours" lines on the left
// and its "theirs" lines on the right, filler rows padding the shorter part, every
// line outside the conflicts common. The engine is not asked: a conflict is never split
// or merged with another, so block k is conflict k. Returns 0, or -1 after reporting
// "Not enough memory" (the document is then unchanged).
int install_conflict_blocks();

// True while both sides are the two sides of one conflict file.
bool in_conflict_mode();

// True when Write ends each line as it ended in its file: in conflict mode, or with
// the option Keep line ends.
bool keeps_line_ends();

// What a side's title bar shows: its path, and in conflict mode its label after it,
// "notes.txt (HEAD)".
std::string side_title(const MergeSide& side);

#endif
