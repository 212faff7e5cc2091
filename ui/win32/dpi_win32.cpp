#include "ui/win32/dpi_win32.h"

#include "ui/scrolling.h"
#include "ui/view/dpi_scale.h"

namespace {

// Both calls are missing before Windows 10 (1607): looked up once, at first use.
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using MetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn>
Fn user32_function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int device_dpi(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc != nullptr) {
        ReleaseDC(window, dc);
    }
    return dpi > 0 ? dpi : BASE_DPI;
}

}  // namespace

int system_dpi() {
    return device_dpi(nullptr);
}

int window_dpi(HWND window) {
    static const DpiForWindowFn dpi_for_window = user32_function<DpiForWindowFn>("GetDpiForWindow");
    if (dpi_for_window != nullptr && window != nullptr) {
        const UINT dpi = dpi_for_window(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return device_dpi(window);
}

int metric_for_dpi(int index, int dpi) {
    static const MetricsForDpiFn metrics_for_dpi =
        user32_function<MetricsForDpiFn>("GetSystemMetricsForDpi");
    if (metrics_for_dpi != nullptr) {
        return metrics_for_dpi(index, static_cast<UINT>(dpi));
    }
    // GetSystemMetrics answers at the system's DPI, exactly where the window is at it;
    // elsewhere its answer is taken back to 96 DPI, then to `dpi`.
    const int system = system_dpi();
    const int value = GetSystemMetrics(index);
    return dpi == system ? value : dpi_scale(dpi_unscale(value, system), dpi);
}

void set_view_dpi(int dpi) {
    dpi = dpi > 0 ? dpi : BASE_DPI;
    view_metrics.dpi = dpi;
    view_metrics.vscroll_width = metric_for_dpi(SM_CXVSCROLL, dpi);
    view_metrics.vscroll_arrow_height = metric_for_dpi(SM_CYVSCROLL, dpi);
    view_metrics.hscroll_height = metric_for_dpi(SM_CYHSCROLL, dpi);
}

void measure_window_dpi(HWND window) {
    set_view_dpi(window_dpi(window));
}
