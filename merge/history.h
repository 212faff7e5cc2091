#ifndef PAIREX_MERGE_HISTORY_H
#define PAIREX_MERGE_HISTORY_H

#include <cstddef>

// The undo history of the user's choices on merge_document. A step holds the chosen
// flags and the block extras (both sides, the base, an edited text) that one choice or
// edit changed, with their values before and after, so that undo and redo give back
// exactly the state before or after it. Any change of the block tables
// themselves (a load, a comparison, an emptied document) starts a new history.

// Starts recording one choice: remembers every chosen flag. Nested records (a choice
// made inside another) count as one.
void begin_choice();
// Ends the record: when a flag changed, the change becomes the newest step and the
// steps that could have been redone are dropped. A choice that changed nothing leaves
// no step.
void end_choice();

// Records the choice made during its lifetime.
struct ChoiceRecord {
    ChoiceRecord() { begin_choice(); }
    ~ChoiceRecord() { end_choice(); }
    ChoiceRecord(const ChoiceRecord&) = delete;
    ChoiceRecord& operator=(const ChoiceRecord&) = delete;
};

// Undoes the newest step, or redoes the step undone last, and repaints both panes.
// Return false (and do nothing) when there is no such step.
bool undo_choice();
bool redo_choice();

// Number of steps that undo_choice and redo_choice can take.
std::size_t undo_steps();
std::size_t redo_steps();

// Forgets every step; the choices now count as written. Called whenever the block
// tables are released or replaced, and after a comparison.
void clear_choice_history();

// A Write put the current choices into the file at `path`: they are no longer
// unwritten. Passes the path on to merge_written_hook.
void note_merge_written(const char* path);

// True when the choices differ from those last written (or those right after the
// comparison) by at least one step: undoing back to that state makes it false again.
bool has_unwritten_choices();

// Set by the user interface: told the path of every successful Write.
extern void (*merge_written_hook)(const char* path);

// The most changes kept over all steps (a flag or an extra one each, an edited text its
// bytes / 16 more); beyond it the oldest steps are dropped.
constexpr std::size_t MAX_HISTORY_CHANGES = std::size_t{1} << 21;

#endif
