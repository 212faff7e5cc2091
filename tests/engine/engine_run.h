#ifndef PAIREX_TESTS_ENGINE_ENGINE_RUN_H
#define PAIREX_TESTS_ENGINE_ENGINE_RUN_H

#include <string>
#include <vector>

#include "common/textio.h"
#include "engine/engine.h"
#include "tests/support/fake_report.h"
#include "tests/support/temp_dir.h"

// One engine run as a test sees it: result, messages shown, and the listing file.
struct EngineRun {
    int result = 0;
    std::vector<ReportedMessage> messages;
};

inline EngineRun run_engine(std::vector<std::string> args) {
    args.insert(args.begin(), "diff");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    clear_reported_messages();
    EngineRun run;
    run.result = engine_run(static_cast<int>(args.size()), argv.data());
    run.messages = reported_messages();
    return run;
}

// `text` with every line feed as the platform's text mode writes it.
inline std::string on_disk(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += LINE_END;
        } else {
            out += c;
        }
    }
    return out;
}

inline ReportedMessage error_box(const std::string& text) {
    return {text, -1};
}

#endif
