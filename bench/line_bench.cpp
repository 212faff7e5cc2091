// Times the Windows program on a pair of huge single lines, in-process under wine:
// start-up with the two files on the command line until both panes are completely
// painted, with the load, the engine and the listing's parse apart, the longest the
// window waited to answer, and the process's peak memory. Prints
// figures; never fails. line_bench.sh runs the engine alone beside it.
// Usage: line_bench.exe FIRST SECOND
#include "ui/win32/windows_api.h"

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "bench/program_timing.h"
#include "merge/document.h"
#include "resources/command_ids.h"
#include "ui/view/change_marks.h"
#include "ui/view/view_text.h"
#include "ui/win32/ui_state.h"

namespace {

double peak_mb() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / 1e6;
}

// The window's answers: another thread posts a message every few milliseconds to a
// window of the program's thread, stamped with its time; the longest a message waited
// to be taken, once the main window is shown, is how long the window did not answer.
// Long work takes input in its polls (ui/win32/progress_win32.cpp), so the message is a
// mouse move, which those polls take.
HWND stamp_window = nullptr;
std::atomic<bool> stamping{true};
std::atomic<long long> longest_wait_us{0};
std::atomic<long long> longest_wait_end_us{0};

long long now_us() {
    return static_cast<long long>(now_ms() * 1000.0);
}

LRESULT CALLBACK on_get_message(int code, WPARAM wparam, LPARAM lparam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && msg->hwnd == stamp_window &&
        msg->message == WM_MOUSEMOVE) {
        const long long waited = now_us() - static_cast<long long>(msg->wParam);
        if (waited > longest_wait_us) {
            longest_wait_us = waited;
            longest_wait_end_us = now_us();
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void post_stamps() {
    while (stamping) {
        if (IsWindowVisible(ui_state.main_window)) {
            PostMessageW(stamp_window, WM_MOUSEMOVE, static_cast<WPARAM>(now_us()), 0);
        }
        Sleep(5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: line_bench FIRST SECOND\n");
        return 2;
    }
    comparison_engine = timed_engine;
    reset_program_state();
    ProgramDriver driver;
    driver.timeout_ms = 600000;
    FirstPaint first;
    double first_peak_mb = 0;
    bool marks_given_up = false;
    driver.steps = first_paint_steps(first, [&] { first_peak_mb = peak_mb(); });
    driver.steps.insert(driver.steps.end(), {
                                                ProgramDriver::check([&] {
                                                    RowView row = describe_row(merge_document.left,
                                                                               0, RowFormat{});
                                                    mark_row_changes(SIDE_LEFT, row, RowFormat{});
                                                    marks_given_up = row.marks_given_up;
                                                    // Ending the program frees everything
                                                    // at once: not a wait of the window.
                                                    stamping = false;
                                                }),
                                                ProgramDriver::post(CMD_QUIT),
                                            });
    const std::string command_line = std::string("-f1 \"") + argv[1] + "\" -f2 \"" + argv[2] + "\"";
    stamp_window =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, on_get_message, nullptr, GetCurrentThreadId());
    std::thread poster(post_stamps);
    const double t_start = now_ms();
    driver.run(command_line.c_str());
    stamping = false;
    poster.join();
    UnhookWindowsHookEx(hook);
    if (driver.timed_out() || first.painted == 0) {
        std::printf("the program did not finish its first paint in time\n");
        return 0;
    }
    std::printf("program: start-up and loading       %8.1f ms\n", engine_started - t_start);
    std::printf("program: engine                     %8.1f ms\n", first.engine_ms);
    std::printf("program: start to first paint       %8.1f ms (timer resolution 20 ms)\n",
                first.painted - t_start);
    std::printf("program: again, listing parse       %8.1f ms (engine %.1f ms)\n",
                first.compare_ms - engine_ms, engine_ms);
    std::printf("program: full paint of both panes   %8.1f ms\n", first.paint_ms);
    std::printf(
        "program: peak memory                %8.1f MB (at the first paint; %.1f MB at the end)\n",
        first_peak_mb, peak_mb());
    std::printf(
        "program: longest wait for an answer %8.1f ms (until %.1f ms after the start;"
        " the engine ran from %.1f ms)\n",
        static_cast<double>(longest_wait_us) / 1000.0,
        static_cast<double>(longest_wait_end_us) / 1000.0 - t_start, engine_started - t_start);
    std::printf("program: in-line marks              %s\n",
                marks_given_up ? "given up" : "computed");
    return 0;
}
