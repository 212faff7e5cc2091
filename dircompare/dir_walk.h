#ifndef PAIREX_DIRCOMPARE_DIR_WALK_H
#define PAIREX_DIRCOMPARE_DIR_WALK_H

#include <string>

#include "common/progress.h"
#include "dircompare/dir_listing.h"
#include "merge/output.h"

// The directory walk: two directories brought together, file by file, into a target
// directory. Each step handles one entry or pair and posts the next step
// (REQUEST_NEXT_PAIR), or leaves a differing pair in the document for the user's Write,
// Skip or Cancel. merge_document.directory_mode is set exactly while a walk runs, and
// directory_target_path (merge/output.h) names the file that receives the pair in the
// document.

struct DirWalk {
    DirListing listing1;
    DirListing listing2;
    std::string target_dir;
    // Set only while a step compares its pair, so that an identical result copies that
    // pair and not whatever else the user may compare later.
    bool comparing_pair = false;
    // The walk's start: its progress shows once the walk, not one step, runs long.
    ProgressClock::time_point started;
    // Set when the user stopped the walk: no further step runs before it ends.
    bool stopping = false;
    // "Yes to all" or "No to all" given to the one-sided question.
    StandingAnswer one_sided_answer = STANDING_ASK;
    // Likewise to the question before a copy replaces a file in the target.
    StandingAnswer replace_answer = STANDING_ASK;
};

// The one walk.
extern DirWalk dir_walk;

// What a step did to the walk.
enum DirWalkStep { DIR_WALK_GOING_ON = 0, DIR_WALK_ENDED = 1 };

// The text of the question for a file found in one directory only.
constexpr const char* ONE_SIDED_QUESTION =
    "The file %s exists \nonly in %s.\nCopy it to the destination directory ?";
constexpr const char* WALK_DONE_MESSAGE = "Directories have been \nsuccessfully compared";
constexpr const char* CONFIRM_OPERATION = "Confirm the operation";

// Lists both directories and enters the walk (directory_mode set), standing before the
// first step; the caller runs it. Returns 0, or -1 when memory ran out while listing
// (nothing reported, nothing changed).
int start_dir_walk(const std::string& dir1, const std::string& dir2, const std::string& target);

// One step of the walk (command 315). Does nothing outside a walk. Returns DIR_WALK_ENDED
// when both listings were exhausted: the success box was shown and the walk ended. A
// step the user stopped (common/progress.h) posts REQUEST_CANCEL, and the steps before
// the walk's end do nothing: the target holds the pairs finished before.
int dir_walk_step();

// Ends the walk: directory_mode cleared, the listings and target released, the document
// emptied. The menu is the caller's.
void end_dir_walk();

// Copies the listing's current file into the target directory, asking before it replaces
// a file there. Nothing for an exhausted listing or a directory entry. A path over the
// limit is refused and a failed copy reported; a declined copy is the user's choice.
void copy_current_to_target(const DirListing& listing);

#endif
