#ifndef PAIREX_UI_HELP_TEXT_H
#define PAIREX_UI_HELP_TEXT_H

#include <string>

#include "ui/commands.h"

// The program's own help page, made from the command table, the menus, the
// accelerators and the command-line options, so that it always shows what the
// program really offers.

// The help page: every command of the menus and accelerators on a line of its own
// with its menu path, its keys and what it does (further menu paths on the next
// line), then the keys of the panes and the command-line options. Lines end in '\n'.
std::string build_help_text(const char* program_title);

// A menu label as a reader says it: no '&' markers ("&&" is one '&'), and without the
// key hint that follows two or more blanks ("&Write    Ctrl+W" gives "Write").
std::string menu_label_text(const char* label);

// The keys of an accelerator, like "Ctrl+Shift+N", "F1" or "Ctrl+Page Up".
std::string accelerator_name(const AcceleratorKey& key);

#endif
