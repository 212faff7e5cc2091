#ifndef PAIREX_UI_COMMAND_LINE_H
#define PAIREX_UI_COMMAND_LINE_H

#include <optional>
#include <string>
#include <string_view>

// The options of the program's command line, each introduced by '-' or '/' and
// followed by exactly one value.
enum OptionKey { OPT_D1 = 0, OPT_D2, OPT_F1, OPT_F2, OPT_OUTF, OPT_OUTD, OPT_MERGE, OPTION_COUNT };

struct CommandLineOption {
    const char* name;
    int key;
    int arguments;
    bool given;
    std::string value;
};

// Records the command line as "LastCmd" in "Misc", then scans `text` (the command line
// after the program name). Tokens are separated by blanks; a double-quoted stretch may
// hold blanks and its quotes are dropped. Returns 0, or -1 after reporting "Bad command
// line" or "Unknown option"; options recognised before the error stay given.
int parse_command_line(const char* text);

// The value of the option `key` when it was given.
std::optional<std::string> option_value(int key);

// The option's name as typed after its '-' or '/' ("d1", "outf").
const char* option_name(int key);

// Forgets every option (the table starts as "not given").
void reset_command_line();

// The command line after the program name, from the whole line as the system keeps it:
// a name in double quotes ends at the closing quote, any other at the first blank; the
// blanks after it are skipped too.
std::string_view arguments_of(std::string_view whole);

#endif
