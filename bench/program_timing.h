#ifndef PAIREX_BENCH_PROGRAM_TIMING_H
#define PAIREX_BENCH_PROGRAM_TIMING_H

// What the in-process benchmarks of the Windows program share: a clock, the engine
// timed inside the comparison run, and the first steps of every run (the first complete
// paint, then the comparison once more and a full repaint).

#include "ui/win32/windows_api.h"

#include <functional>
#include <vector>

#include "engine/engine.h"
#include "merge/comparison.h"
#include "merge/document.h"
#include "tests/win32/driver.h"
#include "ui/win32/ui_state.h"

inline double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double engine_started = 0;  // of the first run: loading is over by then
inline double engine_ms = 0;       // of the last run

// The comparison run's engine, timed (set as comparison_engine).
inline int timed_engine(int argc, char** argv) {
    const double t0 = now_ms();
    if (engine_started == 0) {
        engine_started = t0;
    }
    const int r = engine_run(argc, argv);
    engine_ms = now_ms() - t0;
    return r;
}

inline bool panes_painted() {
    RECT r;
    return !GetUpdateRect(ui_state.left_pane, &r, FALSE) &&
           !GetUpdateRect(ui_state.right_pane, &r, FALSE);
}

struct FirstPaint {
    double painted = 0;     // when both panes were first completely painted (0: never)
    double engine_ms = 0;   // the first comparison's engine
    double compare_ms = 0;  // the second comparison, engine and parse
    double paint_ms = 0;    // a full repaint of both panes
};

// The steps every run begins with: wait until the comparison posted at start-up has
// run and both panes are painted (doing whatever paint is pending; `at_paint` runs
// then too), then compare once more, to tell the engine from the parsing, and repaint
// both panes in full.
inline std::vector<ProgramDriver::Step> first_paint_steps(FirstPaint& f,
                                                          std::function<void()> at_paint = {}) {
    return {
        ProgramDriver::wait_until([&f, at_paint] {
            if (merge_document.not_compared != 0) {
                return false;
            }
            UpdateWindow(ui_state.left_pane);
            UpdateWindow(ui_state.right_pane);
            f.painted = now_ms();
            f.engine_ms = engine_ms;
            if (at_paint) {
                at_paint();
            }
            return panes_painted();
        }),
        ProgramDriver::check([&f] {
            const double t0 = now_ms();
            compare_files();
            f.compare_ms = now_ms() - t0;
            const double t1 = now_ms();
            RedrawWindow(ui_state.left_pane, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            RedrawWindow(ui_state.right_pane, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            f.paint_ms = now_ms() - t1;
        }),
    };
}

#endif
