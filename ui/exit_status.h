#ifndef PAIREX_UI_EXIT_STATUS_H
#define PAIREX_UI_EXIT_STATUS_H

#include <optional>
#include <string>

// The process's exit status, for callers such as version-control tools that run the
// program to merge one file: with "outf" (or "merge", whose file is the output) on the
// command line, 0 when a Write to that path succeeded during the run and 1 otherwise;
// without either, 0.

// Where an "outf" value points: a relative name lies in the "outd" directory when one
// is given, else in the current directory. The absolute, normalised path (the value as
// given when the file system cannot make one).
std::string output_file_path(const std::string& name, const std::optional<std::string>& directory);

// At start-up, after the command line was scanned: takes the file "outf" names (before
// a file dialog can move the current directory), forgets the writes of an earlier run
// and starts listening to the merge layer's writes.
void start_exit_status();

// Once the settings are read: the save dialog offers the file "outf" names by its
// absolute path, so that it opens where that file is and not where the last save went.
// A path over the length limit is left as given.
void offer_output_path();

// A Write to `path` succeeded.
void note_written_path(const char* path);

// The status the process ends with.
int exit_status();

#endif
