#include "merge/comparison.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/paths.h"
#include "common/report.h"
#include "engine/engine.h"
#include "merge/blocks.h"
#include "merge/history.h"
#include "merge/listing_parser.h"
#include "merge/realign.h"
#include "merge/merge_platform.h"

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
        if (!std::filesystem::exists(candidate, ec) && !ec) {
            name = candidate;
            return true;
        }
    }
    return false;
}

int make_temp_listing_name(std::string& name) {
    const char* tmp = std::getenv("TMP");
    if (tmp != nullptr && tmp[0] != '\0') {
        std::error_code ec;
        if (std::filesystem::is_directory(tmp, ec) && free_name_in(tmp, name)) {
            return 0;
        }
    }
    return free_name_in("", name) ? 0 : -1;
}

static void remove_file(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

std::vector<std::string> comparison_arguments(const std::string& listing, const char* left_path,
                                              const char* right_path) {
    std::vector<std::string> args = {"diff", "-s", "-a"};
    if (merge_document.compress_spaces != 0) {
        args.push_back("-w");
    }
    args.insert(args.end(), {"-o", listing, left_path, right_path});
    return args;
}

int run_comparison(const char* left_path, const char* right_path) {
    MergeDocument& doc = merge_document;
    const std::intptr_t cursor = platform_show_wait_cursor();
    std::string temp;
    if (make_temp_listing_name(temp) != 0) {
        report_message("tempnam: can't create file name ", SEVERITY_ERROR);
        platform_restore_cursor(cursor);
        return -1;
    }
    std::vector<std::string> args = comparison_arguments(temp, left_path, right_path);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const int engine_result = comparison_engine(static_cast<int>(args.size()), argv.data());

    TextLineReader listing;
    if (listing.open(temp.c_str()) != 0) {
        report_message("Could not open temporary file", SEVERITY_ERROR);
        remove_file(temp);
        platform_restore_cursor(cursor);
        return -1;
    }
    // Trouble after the listing was begun (a failed write, memory running out) leaves
    // it short; taking it as the whole truth would merge differences away unseen. The
    // engine has said what went wrong.
    if (engine_result == 2 || engine_result == -1) {
        listing.close();
        remove_file(temp);
        platform_restore_cursor(cursor);
        return -1;
    }
    BlockTables tables;
    const ListingResult parsed = parse_listing(listing, tables);
    listing.close();
    remove_file(temp);

    int result = -1;
    if (parsed == LISTING_BLOCKS) {
        install_tables(std::move(tables));
        platform_repaint_panes();
        result = 0;
    } else if (parsed == LISTING_IDENTICAL) {
        if (doc.directory_mode != 0) {
            reset_document();
        } else {
            report_message("Files are identical", SEVERITY_INFO);
        }
        result = 1;
    }
    if (result != -1) {
        doc.not_compared = 0;
        clear_choice_history();  // a comparison starts a new history, identical files too
    }
    platform_restore_cursor(cursor);
    return result;
}

void compare_files() {
    MergeDocument& doc = merge_document;
    if (doc.left.line_count > 0 && doc.right.line_count > 0) {
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
