// Times the Windows program on a large pair, in-process under wine: start-up with the
// two files on the command line until both panes are completely painted (with the
// load, the comparison run's engine and the parsing apart), and a page step with its
// repaint, without and with the marks within changed lines (first computed, then
// kept). Prints figures; never fails.
// Usage: pane_bench.exe FIRST SECOND   (PAIREX_NO_PAGES set: no page steps)
#include "ui/win32/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/program_timing.h"
#include "merge/document.h"
#include "merge/merge_platform.h"
#include "merge/selection.h"
#include "resources/command_ids.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/view/change_marks.h"
#include "ui/win32/ui_state.h"

namespace {

constexpr int PAGE_STEPS = 200;

// Mean time of PAGE_STEPS page steps from the top, each with its repaint, with the
// marks on or off.
double page_steps_ms(bool highlight) {
    settings.highlight_changes = highlight ? 1 : 0;
    go_beginning();
    platform_repaint_panes();
    UpdateWindow(ui_state.left_pane);
    UpdateWindow(ui_state.right_pane);
    double total = 0;
    for (int i = 0; i < PAGE_STEPS; ++i) {
        const double t0 = now_ms();
        route_scroll_key(KEY_PAGE_DOWN);
        UpdateWindow(ui_state.left_pane);
        UpdateWindow(ui_state.right_pane);
        total += now_ms() - t0;
    }
    return total / PAGE_STEPS;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pane_bench FIRST SECOND\n");
        return 2;
    }
    comparison_engine = timed_engine;
    reset_program_state();
    ProgramDriver driver;
    driver.timeout_ms = 120000;
    FirstPaint first;
    double plain_ms = 0;
    double computing_ms = 0;
    double kept_ms = 0;
    double plain_again_ms = 0;
    std::size_t kept_pairs = 0;
    driver.steps = first_paint_steps(first);
    driver.steps.insert(
        driver.steps.end(),
        {
            // The same pages without marks, with marks computed on the way, then kept.
            ProgramDriver::check([&] {
                if (std::getenv("PAIREX_NO_PAGES") != nullptr) {
                    return;  // only the first paint is timed
                }
                plain_ms = page_steps_ms(false);
                drop_change_marks();
                computing_ms = page_steps_ms(true);
                kept_pairs = kept_change_marks();
                kept_ms = page_steps_ms(true);
                plain_again_ms = page_steps_ms(false);  // the noise of this machine
            }),
            ProgramDriver::post(CMD_QUIT),
        });
    const std::string command_line = std::string("-f1 \"") + argv[1] + "\" -f2 \"" + argv[2] + "\"";
    const double t_start = now_ms();
    driver.run(command_line.c_str());
    if (driver.timed_out() || first.painted == 0) {
        std::printf("the program did not finish its first paint in time\n");
        return 0;
    }
    std::printf("rows: %d (left %d lines, right %d lines)\n", merge_document.total_rows,
                merge_document.left.line_count, merge_document.right.line_count);
    std::printf("start-up and loading both files:    %8.1f ms\n", engine_started - t_start);
    std::printf("comparison: engine                  %8.1f ms\n", first.engine_ms);
    std::printf("comparison: listing parse and rows  %8.1f ms\n", first.compare_ms - engine_ms);
    std::printf("full paint of both panes            %8.1f ms\n", first.paint_ms);
    std::printf("start to first complete paint       %8.1f ms (timer resolution 20 ms)\n",
                first.painted - t_start);
    std::printf("page step with repaint, mean of %d:\n", PAGE_STEPS);
    std::printf("  without marks                     %8.2f ms\n", plain_ms);
    std::printf("  with marks, computed on the way   %8.2f ms (%.2fx; %zu line pairs)\n",
                computing_ms, plain_ms > 0 ? computing_ms / plain_ms : 0.0, kept_pairs);
    std::printf("  with marks, kept                  %8.2f ms (%.2fx)\n", kept_ms,
                plain_ms > 0 ? kept_ms / plain_ms : 0.0);
    std::printf("  without marks, once more          %8.2f ms\n", plain_again_ms);
    return 0;
}
