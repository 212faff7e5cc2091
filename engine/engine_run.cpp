#include <algorithm>
#include <new>

#include "common/progress.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace {

// Scans the options, checks the operand count and compares the two operands.
int run(int argc, char** argv) {
    const int first_operand = scan_options(argc, argv);
    if (first_operand < 0) {
        return -1;
    }
    if (argc - first_operand != 2) {
        report_engine_error("Error #2");
        return -1;
    }
    return compare_pair(nullptr, argv[first_operand], nullptr, argv[first_operand + 1], 0);
}

// The share the run reported last, for the polls of a thread that waits.
std::uint32_t last_permille = 0;

}  // namespace

void engine_progress(std::uint32_t permille) {
    last_permille = permille;
    if (!progress_step(permille, 1000)) {
        throw EngineStopped{};
    }
}

bool engine_answer(std::uint32_t permille) {
    last_permille = std::max(last_permille, permille);
    return progress_step(last_permille, 1000);
}

int engine_run(int argc, char** argv) {
    last_permille = 0;
    engine_reset_memory_report();
    reset_listing_state();
    int result;
    try {
        result = run(argc, argv);
    } catch (const EngineOutOfMemory&) {
        result = 2;
    } catch (const EngineStopped&) {
        result = 2;
    } catch (const std::bad_alloc&) {
        // A container refused memory: reported like an engine allocation.
        try {
            engine_out_of_memory();
        } catch (const EngineOutOfMemory&) {
        }
        result = 2;
    }
    if (!finish_listing()) {
        report_engine_error("Error writing temp. file");
    }
    engine_release_kept_blocks();
    return result;
}
