#ifndef PAIREX_ENGINE_ENGINE_H
#define PAIREX_ENGINE_ENGINE_H

#include <cstddef>
#include <string>
#include <vector>

// The difference engine, driven like a command-line tool but run in-process.
//
// engine_run scans `argv` (argv[0] is the program's name and is otherwise unused),
// compares the two operands (files or directories) and writes the normal-format
// listing to the file of the last `-o` given in this process. Failures are shown with
// report_message. Returns -1 usage error, 0 no differences, 1 differences, 2 trouble.
// The engine never ends the process; one run at a time (process-wide state).
int engine_run(int argc, char** argv);

// For the command-line program only: while no `-o` has been given in this process,
// the listing goes to standard output instead of an output file.
void engine_set_stdout_fallback(bool on);

// For the command-line program: when on, each file read in text mode that had data after
// a Ctrl-Z, or carriage returns that no line feed follows, is warned about (one line
// each, naming the file), as the merge warns when it loads a file.
void engine_set_text_mode_warnings(bool on);

// For tests and benchmarks: with false, the engine takes none of its shortcuts (lines
// hashed byte by byte, every line looked up in the class table). Listings and results
// are the same either way.
void engine_set_fast_paths(bool on);

// For tests: on Linux, files of at least `min_bytes` (256 MiB unless set) are mapped
// rather than read when text mode changes none of their bytes (a shortcut too: off
// while the fast paths are). `after_map`, when not null, is called with a file's name
// right after it was mapped, before any of its bytes are looked at.
void engine_set_mapping(std::size_t min_bytes, void (*after_map)(const char* name));

// For tests: table blocks of at least `min_bytes` freed during a run are kept and later
// tables carved out of them, until the run ends (from 1 MiB unless set). Zero turns
// the keeping off.
void engine_set_block_keeping(std::size_t min_bytes);

// A file's text that the caller holds already, as text mode reads the file.
struct LentText {
    std::string name;      // matched against an operand exactly as it is given
    char* data = nullptr;  // the text; the engine writes only past `length`
    std::size_t length = 0;
    std::size_t capacity = 0;  // bytes at `data`: a text is taken when this is at
                               // least length + LENT_SPARE_BYTES
};
// After the data the engine writes a line feed (for a last line without one) and
// eight zero bytes.
constexpr std::size_t LENT_SPARE_BYTES = 9;

// Until called again, a regular-file operand named like one of `texts` is compared as
// that text instead of being read: the caller's text and the engine's can then never
// differ, and a large file is not read and held twice. The file is still opened, and
// its first block as stored still decides whether the pair is binary. Call with an
// empty vector after the run.
void engine_lend_texts(std::vector<LentText> texts);

#endif
