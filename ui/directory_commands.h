#ifndef PAIREX_UI_DIRECTORY_COMMANDS_H
#define PAIREX_UI_DIRECTORY_COMMANDS_H

// The directory comparison's commands. The walk itself comes with the directory
// layer; until then the walk's own steps are reachable and do nothing.

void start_directory_comparison();  // Compare Directories (314)
void skip_directory_pair();         // Skip (312): drops the pair, moves on
void end_directory_comparison();    // Cancel (313)
void next_directory_pair();         // next pair (315)

#endif
