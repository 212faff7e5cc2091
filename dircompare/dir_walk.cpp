#include "dircompare/dir_walk.h"

#include <cstdio>
#include <memory>
#include <new>
#include <utility>

#include "common/byte_scan.h"
#include "common/native_file.h"

#include "common/paths.h"
#include "common/report.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "merge/merge_platform.h"
#include "merge/output.h"
#include "merge/replace_file.h"

DirWalk dir_walk;

namespace {

// A path over the limit is refused by name: a cut path would name another file.
// Returns true when refused (reported).
bool refuse_long_path(const std::string& path) {
    if (path_fits(path)) {
        return false;
    }
    const std::string text =
        "The path is longer than " + std::to_string(PATH_MAX_CHARS) + " characters:\n" + path;
    report_message(text.c_str(), SEVERITY_ERROR);
    return true;
}

std::string source_of(const DirListing& listing) {
    return join_dir_file(listing.dir_path, listing.current_entry().name);
}

std::string target_of(const DirEntry& entry) {
    return join_dir_file(dir_walk.target_dir, entry.name);
}

// Equal size and time stamp: the pair is likely the same file, and its bytes tell at
// little cost. They must be read: two checkouts, or a script writing both in one
// second, give different files of one size and stamp. A time the date and time words
// cannot hold proves nothing, so such a pair is compared.
bool likely_same(const DirEntry& a, const DirEntry& b) {
    return a.size == b.size && a.has_stamp && b.has_stamp && a.mod_date == b.mod_date &&
           a.mod_time == b.mod_time;
}

// True when the two files hold the same bytes; read in large blocks, stopping at the
// first difference. A file that cannot be read counts as different, so that the pair
// goes to the panes, which say why.
bool same_bytes(const std::string& a, const std::string& b) {
    struct Closer {
        void operator()(FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<FILE, Closer> fa(native_fopen(a.c_str(), "rb"));
    const std::unique_ptr<FILE, Closer> fb(native_fopen(b.c_str(), "rb"));
    if (!fa || !fb) {
        return false;
    }
    constexpr std::size_t BLOCK = std::size_t{256} * 1024;
    static std::unique_ptr<char[]> blocks(new char[2 * BLOCK]);
    char* const ba = blocks.get();
    char* const bb = blocks.get() + BLOCK;
    for (;;) {
        const std::size_t na = std::fread(ba, 1, BLOCK, fa.get());
        const std::size_t nb = std::fread(bb, 1, BLOCK, fb.get());
        if (na != nb || !bytes_equal(ba, bb, na)) {
            return false;
        }
        if (na < BLOCK) {
            return std::ferror(fa.get()) == 0 && std::ferror(fb.get()) == 0;
        }
    }
}

void copy_identical_pair() {
    if (dir_walk.comparing_pair) {
        copy_current_to_target(dir_walk.listing1);
    }
}

// The one-sided question, or the standing answer the user gave to all of them.
Answer ask_one_sided(const DirListing& listing) {
    if (dir_walk.one_sided_answer != STANDING_ASK) {
        return dir_walk.one_sided_answer == STANDING_YES ? ANSWER_YES : ANSWER_NO;
    }
    const std::string question = format_message(
        ONE_SIDED_QUESTION, listing.current_entry().name.c_str(), listing.dir_path.c_str());
    return take_standing_answer(
        platform_ask(CONFIRM_OPERATION, question.c_str(), BUTTONS_YES_NO_CANCEL_ALL),
        dir_walk.one_sided_answer);
}

void step_one_sided(DirListing& listing) {
    const DirEntry& entry = listing.current_entry();
    // A file already in the target directory stays where it is, unasked.
    if (!paths_equal(listing.dir_path.c_str(), dir_walk.target_dir.c_str()) &&
        !refuse_long_path(source_of(listing)) && !refuse_long_path(target_of(entry))) {
        const Answer answer = ask_one_sided(listing);
        if (answer == ANSWER_YES) {
            copy_current_to_target(listing);
        } else if (answer == ANSWER_CANCEL) {
            platform_post_request(REQUEST_CANCEL);
        }
    }
    listing.advance();
    platform_post_request(REQUEST_NEXT_PAIR);
}

// Loads a differing pair and compares it at once. An identical pair is copied by the
// comparison's hook, which also posts the next step; a differing one waits in the panes.
void load_and_compare_pair() {
    const std::string left = source_of(dir_walk.listing1);
    const std::string right = source_of(dir_walk.listing2);
    const std::string target = target_of(dir_walk.listing1.current_entry());
    if (refuse_long_path(left) || refuse_long_path(right) || refuse_long_path(target)) {
        platform_post_request(REQUEST_NEXT_PAIR);
        return;
    }
    // A side that cannot be loaded has been reported; the pair then waits for Skip.
    load_side(left.c_str(), SIDE_LEFT);
    load_side(right.c_str(), SIDE_RIGHT);
    if (progress_stopped()) {
        return;  // the walk ends; the pair is not compared
    }
    copy_path(directory_target_path, PATH_BUFFER_SIZE, target.c_str());
    dir_walk.comparing_pair = true;
    compare_files();
    dir_walk.comparing_pair = false;
}

// A likely-same pair whose target is free: the copy reads both files once, and is
// made only when they hold the same bytes. Anything else goes the ordinary way.
NewCopy copy_same_pair_to_new(const std::string& left, const std::string& right) {
    const std::string target = target_of(dir_walk.listing1.current_entry());
    // A target directory that is Directory 1 holds the file already, and gets no
    // temporary file.
    if (!path_fits(target) ||
        paths_equal(dir_walk.listing1.dir_path.c_str(), dir_walk.target_dir.c_str())) {
        return NEW_COPY_TAKEN;
    }
    return copy_to_new_file(left.c_str(), target.c_str(), right.c_str());
}

// A likely-same pair, copied without the panes when its bytes are the same. Returns
// true when the pair is done with (copied, or a failure reported), false for the panes.
bool copy_same_pair(const std::string& left, const std::string& right) {
    switch (copy_same_pair_to_new(left, right)) {
        case NEW_COPY_DONE:
            break;
        case NEW_COPY_CHANGED:  // nothing was written; the walk goes on, as after a failed copy
            report_changed_while_read(left.c_str());
            break;
        case NEW_COPY_OTHER_CHANGED:
            report_changed_while_read(right.c_str());
            break;
        case NEW_COPY_OTHER:
            return false;
        case NEW_COPY_TAKEN:
        case NEW_COPY_FAILED:  // the ordinary way, asking before it replaces
            if (!same_bytes(left, right)) {
                return false;
            }
            copy_current_to_target(dir_walk.listing1);
            break;
    }
    platform_post_request(REQUEST_NEXT_PAIR);
    return true;
}

void step_pair() {
    const std::string left = source_of(dir_walk.listing1);
    const std::string right = source_of(dir_walk.listing2);
    const bool done =
        likely_same(dir_walk.listing1.current_entry(), dir_walk.listing2.current_entry()) &&
        path_fits(left) && path_fits(right) && copy_same_pair(left, right);
    if (!done) {
        load_and_compare_pair();
    }
    dir_walk.listing1.advance();
    dir_walk.listing2.advance();
}

}  // namespace

int start_dir_walk(const std::string& dir1, const std::string& dir2, const std::string& target) {
    DirListing listing1;
    DirListing listing2;
    if (list_dir_files(dir1, listing1) != 0 || list_dir_files(dir2, listing2) != 0) {
        return -1;
    }
    try {
        dir_walk.target_dir = target;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    dir_walk.listing1 = std::move(listing1);
    dir_walk.listing2 = std::move(listing2);
    dir_walk.comparing_pair = false;
    dir_walk.started = ProgressClock::now();
    dir_walk.stopping = false;
    dir_walk.one_sided_answer = dir_walk.replace_answer = STANDING_ASK;
    directory_target_path[0] = '\0';
    dir_walk_copy_identical = copy_identical_pair;
    merge_document.directory_mode = 1;
    return 0;
}

namespace {

int walk_one_step() {
    // No pair is in the document until this step loads one.
    directory_target_path[0] = '\0';
    DirListing& l1 = dir_walk.listing1;
    DirListing& l2 = dir_walk.listing2;
    if (!progress_step(l1.current + l2.current, l1.count() + l2.count())) {
        return DIR_WALK_GOING_ON;
    }
    if (l1.exhausted() && l2.exhausted()) {
        report_message(WALK_DONE_MESSAGE, SEVERITY_INFO);
        end_dir_walk();
        return DIR_WALK_ENDED;
    }
    if (l1.exhausted()) {
        step_one_sided(l2);
    } else if (l2.exhausted()) {
        step_one_sided(l1);
    } else {
        const int order = compare_entry_names(l1.current_entry().name, l2.current_entry().name);
        if (order > 0) {
            step_one_sided(l2);
        } else if (order < 0) {
            step_one_sided(l1);
        } else {
            step_pair();
        }
    }
    return DIR_WALK_GOING_ON;
}

}  // namespace

int dir_walk_step() {
    if (merge_document.directory_mode == 0 || dir_walk.stopping) {
        return DIR_WALK_GOING_ON;
    }
    const ProgressScope progress("Comparing directories", dir_walk.started);
    const int result = walk_one_step();
    if (progress_stopped()) {
        dir_walk.stopping = true;
        platform_post_request(REQUEST_CANCEL);
    }
    return result;
}

void end_dir_walk() {
    merge_document.directory_mode = 0;
    dir_walk = DirWalk{};
    directory_target_path[0] = '\0';
    reset_document();
}

void copy_current_to_target(const DirListing& listing) {
    if (listing.exhausted() ||
        (listing.current_entry().attributes & DIR_ATTRIBUTE_DIRECTORY) != 0) {
        return;
    }
    const std::string source = source_of(listing);
    const std::string destination = target_of(listing.current_entry());
    if (refuse_long_path(source) || refuse_long_path(destination)) {
        return;
    }
    // Declined or cancelled is the user's word; only a copy that failed is news. The
    // copy does not wait for the disk: the source stays, and the rename that finishes
    // it leaves the target either as it was or whole.
    if (copy_with_confirmation(source.c_str(), destination.c_str(), &dir_walk.replace_answer,
                               false) == 1) {
        const std::string text =
            format_message("Unable to copy file %s\nto %s", source.c_str(), destination.c_str());
        report_message(text.c_str(), SEVERITY_ERROR);
    }
}
