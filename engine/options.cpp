#include <getopt.h>

#include <cstring>

#include "engine/engine_internal.h"

EngineOptions engine_options;

const char SHORT_OPTIONS[] = "abBco:HiNPrstTw";

// Two-letter long names; an unambiguous prefix is accepted.
const struct option LONG_OPTIONS[] = {{"ig", no_argument, nullptr, 'B'},
                                      {"sp", no_argument, nullptr, 'H'},
                                      {"in", required_argument, nullptr, 'I'},
                                      {"ou", required_argument, nullptr, 'o'},
                                      {"ne", no_argument, nullptr, 'N'},
                                      {"un", no_argument, nullptr, 'P'},
                                      {"ii", no_argument, nullptr, 'T'},
                                      {"te", no_argument, nullptr, 'a'},
                                      {"ir", no_argument, nullptr, 'b'},
                                      {"ie", no_argument, nullptr, 'i'},
                                      {"re", no_argument, nullptr, 'r'},
                                      {"rp", no_argument, nullptr, 's'},
                                      {"ex", no_argument, nullptr, 't'},
                                      {"ia", no_argument, nullptr, 'w'},
                                      {nullptr, 0, nullptr, 0}};

// Both runtimes answer '?' for an ambiguous and for an unknown long option alike, so
// the ambiguity is found by matching the word's prefix against the table.
static bool is_ambiguous_long_option(const char* word) {
    if (word == nullptr || std::strncmp(word, "--", 2) != 0) {
        return false;
    }
    const char* name = word + 2;
    const std::size_t len = std::strcspn(name, "=");
    if (len == 0) {
        return false;
    }
    int matches = 0;
    for (const struct option* o = LONG_OPTIONS; o->name != nullptr; ++o) {
        if (std::strncmp(o->name, name, len) == 0) {
            if (std::strlen(o->name) == len) {
                return false;  // an exact name is never ambiguous
            }
            ++matches;
        }
    }
    return matches > 1;
}

// Sets the flag of one option letter; false for a letter that is rejected.
static bool apply_option(int c) {
    EngineOptions& o = engine_options;
    switch (c) {
        case 'a':
            o.force_text = 1;
            return true;
        case 'b':
            o.ignore_space_amount = 1;
            o.blank_rules_on = 1;
            return true;
        case 'w':
            o.skip_all_blanks = 1;
            o.blank_rules_on = 1;
            return true;
        case 'B':
            o.skip_blank_hunks = 1;
            return true;
        case 'H':
            o.speed_heuristic = 1;
            return true;
        case 'i':
            o.fold_case = 1;
            return true;
        case 'N':
            o.absent_as_empty = 1;
            return true;
        case 'P':
            o.absent_first_as_empty = 1;
            return true;
        case 'r':
            o.descend_subdirs = 1;
            return true;
        case 's':
            o.report_identical = 1;
            return true;
        case 't':
            o.tabs_to_spaces = 1;
            return true;
        case 'T':
            o.tab_after_marker = 1;
            return true;
        case 'o':
            o.output_path = optarg != nullptr ? optarg : "";
            return true;
        default:
            return false;  // 'c', 'I', '?', ':'
    }
}

int scan_options(int argc, char** argv) {
    const std::string kept_output = engine_options.output_path;
    engine_options = EngineOptions{};
    engine_options.output_path = kept_output;

    optind = 0;  // the only reset both runtimes honour fully
    optarg = nullptr;
    opterr = 1;
    for (;;) {
        const int c = getopt_long(argc, argv, SHORT_OPTIONS, LONG_OPTIONS, nullptr);
        if (c == -1) {
            return optind;
        }
        if (!apply_option(c)) {
            if (c == '?' && optind > 0 && optind <= argc &&
                is_ambiguous_long_option(argv[optind - 1])) {
                report_engine_error("Error #1\n");
            }
            report_engine_error("Error #2");
            return -1;
        }
    }
}
