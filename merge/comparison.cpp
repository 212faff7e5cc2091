#include "merge/comparison.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/native_file.h"
#include "common/paths.h"
#include "common/progress.h"
#include "common/report.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/conflict_mode.h"
#include "merge/history.h"
#include "merge/listing_parser.h"
#include "merge/realign.h"
#include "merge/merge_platform.h"
#include "merge/resolution.h"

void (*dir_walk_copy_identical)() = nullptr;
int (*comparison_engine)(int, char**) = engine_run;

// Tries names "diff" + 6 hex digits in `dir` until one is free.
static bool free_name_in(const std::string& dir, std::string& name) {
    static unsigned counter = 0;
    const auto seed = static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFF);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char file[16];
        std::snprintf(file, sizeof file, "diff%06x", (seed + counter++ * 7919u) & 0xFFFFFFu);
        const std::string candidate = dir.empty() ? file : join_dir_file(dir, file);
        std::error_code ec;
        if (!path_fits(candidate)) {
            return false;
        }
        if (!std::filesystem::exists(native_path(candidate), ec) && !ec) {
            name = candidate;
            return true;
        }
    }
    return false;
}

int make_temp_listing_name(std::string& name) {
    std::string tmp;
    if (native_getenv("TMP", tmp) && !tmp.empty()) {
        std::error_code ec;
        if (std::filesystem::is_directory(native_path(tmp), ec) && free_name_in(tmp, name)) {
            return 0;
        }
    }
    return free_name_in("", name) ? 0 : -1;
}

static void remove_file(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(native_path(path), ec);
}

namespace {

// The temporary files of one run, removed however the run ends.
struct RunFiles {
    std::string listing;
    std::string copies[2];
    RunFiles() = default;
    RunFiles(const RunFiles&) = delete;
    RunFiles& operator=(const RunFiles&) = delete;
    ~RunFiles() {
        for (const std::string* p : {&listing, &copies[0], &copies[1]}) {
            if (!p->empty()) {
                remove_file(*p);
            }
        }
    }
};

// Writes the side's lines as the engine reads a file of bytes: each followed by a line
// feed, the last one only when the file had it. Returns 0, or -1.
int write_side_copy(const MergeSide& side, const std::string& path) {
    // Created as new: a file that appeared at the name meanwhile is not ours to empty.
    FILE* f = native_create_new(path.c_str(), false);
    if (f == nullptr) {
        return -1;
    }
    bool ok = true;
    for (int32_t i = 0; i < side.line_count && ok; ++i) {
        const std::string_view text = line_text(side, i);
        ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        if (ok && (i + 1 < side.line_count || !lacks_final_newline(side))) {
            ok = std::fputc('\n', f) != EOF;
        }
    }
    ok = std::fclose(f) == 0 && ok;
    return ok ? 0 : -1;
}

// The path the engine compares for a side: the file itself when its bytes are the
// side's text, else a UTF-8 copy of the text, so that the listing's line numbers are
// the document's (a UTF-16 file's bytes, or a UTF-8 mark, would not match; both sides
// of a conflict file have the same path). Returns 0, or -1 after reporting.
int engine_operand(const MergeSide& side, const std::string& listing, std::string& copy,
                   const char*& operand) {
    operand = side.path;
    if (side.encoding == ENCODING_BYTES && !side.conflict_side) {
        return 0;
    }
    // The listing's name is taken but its file not yet made: do not pick it again.
    int found = -1;
    for (int attempt = 0; attempt < 3 && found != 0; ++attempt) {
        found = make_temp_listing_name(copy) == 0 && copy != listing ? 0 : -1;
    }
    if (found != 0) {
        copy.clear();
        report_message("tempnam: can't create file name ", SEVERITY_ERROR);
        return -1;
    }
    if (write_side_copy(side, copy) != 0) {
        report_message("Error writing temp. file", SEVERITY_ERROR);
        return -1;
    }
    operand = copy.c_str();
    return 0;
}

// The sides whose text the engine can compare as it stands (a file of bytes, compared
// under its own name, or a side's copy): it then compares exactly what the panes show,
// even when the file changed since it was loaded, and reads no file a second time. A
// copy read in text mode would lose a conflict side's lone carriage returns and all
// after a Ctrl-Z.
std::vector<LentText> lent_texts(const char* const operands[2], const MergeSide* const sides[2],
                                 const RunFiles& files) {
    std::vector<LentText> texts;
    for (int i = 0; i < 2; ++i) {
        const MergeSide& side = *sides[i];
        const bool own = side.encoding == ENCODING_BYTES && operands[i] == side.path;
        if (!side.text || (!own && operands[i] != files.copies[i].c_str())) {
            continue;
        }
        LentText t;
        t.name = operands[i];
        t.data = side.text.get();
        t.length = static_cast<std::size_t>(side.text_end - side.text.get()) +
                   (side.line_count > 0 && !lacks_final_newline(side) ? 1 : 0);
        t.capacity = side.text_capacity;
        texts.push_back(std::move(t));
    }
    return texts;
}

}  // namespace

std::vector<std::string> comparison_arguments(const std::string& listing, const char* left_path,
                                              const char* right_path) {
    std::vector<std::string> args = {"diff", "-s", "-a"};
    if (merge_document.compress_spaces != 0) {
        args.push_back("-w");
    }
    args.insert(args.end(), {"-o", listing, left_path, right_path});
    return args;
}

// Runs the engine into the listing file and gives its result. Returns 0, or -1 after
// reporting that a comparison copy could not be made (the engine did not run).
static int run_engine(RunFiles& files, const char* left_path, const char* right_path,
                      int& engine_result) {
    const char* operands[2] = {left_path, right_path};
    const MergeSide* sides[2] = {&merge_document.left, &merge_document.right};
    for (int i = 0; i < 2; ++i) {
        // Only the document's own sides have a decoded text to copy.
        if (paths_equal(operands[i], sides[i]->path) &&
            engine_operand(*sides[i], files.listing, files.copies[i], operands[i]) != 0) {
            return -1;
        }
    }
    std::vector<std::string> args = comparison_arguments(files.listing, operands[0], operands[1]);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    engine_lend_texts(lent_texts(operands, sides, files));
    engine_result = comparison_engine(static_cast<int>(args.size()), argv.data());
    engine_lend_texts({});
    return 0;
}

// Installs what the listing says. Returns 0 blocks, 1 identical, -1 failed.
static int take_listing(TextLineReader& listing) {
    MergeDocument& doc = merge_document;
    BlockTables tables;
    const ListingResult parsed = parse_listing(listing, tables);
    listing.close();
    if (parsed == LISTING_BLOCKS) {
        install_tables(std::move(tables));
        platform_repaint_panes();
        return 0;
    }
    if (parsed != LISTING_IDENTICAL) {
        return -1;
    }
    if (doc.directory_mode != 0) {
        reset_document();
    } else {
        report_message("Files are identical", SEVERITY_INFO);
    }
    return 1;
}

// The engine's part of a comparison's share; reading its listing is the rest (on two
// 9,000,000-line files of four short lines, 10 s and 2.5 s under wine).
constexpr std::uint32_t ENGINE_PART = 800;

int run_comparison(const char* left_path, const char* right_path) {
    // A stopped run shows nothing and leaves the document as it was.
    const ProgressScope progress("Comparing");
    const std::intptr_t cursor = platform_show_wait_cursor();
    RunFiles files;
    if (make_temp_listing_name(files.listing) != 0) {
        files.listing.clear();
        report_message("tempnam: can't create file name ", SEVERITY_ERROR);
        platform_restore_cursor(cursor);
        return -1;
    }
    int engine_result = 0;
    TextLineReader listing;
    int result = -1;
    bool ran = false;
    {
        const ProgressPart part(0, ENGINE_PART);
        ran = run_engine(files, left_path, right_path, engine_result) == 0 && !progress_stopped();
    }
    if (!ran) {
        // reported, or stopped by the user: nothing to say
    } else if (listing.open(files.listing.c_str(), false) != 0) {  // quoted lines may hold Ctrl-Z
        report_message("Could not open temporary file", SEVERITY_ERROR);
    } else if (engine_result != 2 && engine_result != -1) {
        // Trouble after the listing was begun (a failed write, memory running out)
        // leaves it short; taking it as the whole truth would merge differences away
        // unseen. The engine has said what went wrong.
        const ProgressPart part(ENGINE_PART, 1000);
        result = take_listing(listing);
    }
    listing.close();
    if (result != -1) {
        merge_document.not_compared = 0;
        clear_choice_history();  // a comparison starts a new history, identical files too
    }
    platform_restore_cursor(cursor);
    return result;
}

void compare_files() {
    MergeDocument& doc = merge_document;
    if (!confirm_discarding_edits()) {
        return;
    }
    // A file of no lines is compared like any other: against it, every line of the
    // other side is one block (a file new on one side is merged like any change).
    if (in_conflict_mode()) {
        // The conflicts are the blocks (see install_conflict_blocks).
        if (install_conflict_blocks() != 0) {
            return;
        }
    } else if (doc.left.path[0] != '\0' && doc.right.path[0] != '\0') {
        const int r = run_comparison(doc.left.path, doc.right.path);
        if (r == -1) {
            return;
        }
        if (r == 1) {
            if (doc.directory_mode != 0) {
                if (dir_walk_copy_identical != nullptr) {
                    dir_walk_copy_identical();
                }
                platform_post_request(REQUEST_NEXT_PAIR);
            }
            return;
        }
        if (doc.compress_spaces != 0) {
            realign_blank_lines();
        }
    }
    compute_total_rows();
    platform_repaint_position_bar();
    platform_redraw_scroll_bar();
    if (doc.auto_walk != 0) {
        platform_post_request(REQUEST_FIRST);
    }
}
