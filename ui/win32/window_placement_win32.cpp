#include "ui/win32/window_placement_win32.h"

#include <vector>

#include "ui/settings.h"
#include "ui/window_placement.h"

namespace {

ScreenRect screen_rect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK add_work_area(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& areas = *reinterpret_cast<std::vector<ScreenRect>*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        // The primary monitor first: it is the one to fall back on.
        const auto at = (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? areas.begin() : areas.end();
        areas.insert(at, screen_rect(info.rcWork));
    }
    return TRUE;
}

std::vector<ScreenRect> work_areas() {
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, add_work_area, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// The placement calls give a top-level window's rectangle in workspace coordinates,
// which start at the primary work area's corner; the settings keep screen coordinates.
POINT workspace_origin() {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    const POINT zero = {0, 0};
    if (!GetMonitorInfoW(MonitorFromPoint(zero, MONITOR_DEFAULTTOPRIMARY), &info)) {
        return zero;
    }
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

StartPlacement main_window_start_placement() {
    if (!settings.window.known) {
        return {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0};
    }
    const ScreenRect r =
        place_on_screen(settings.window.normal, work_areas(), GetSystemMetrics(SM_CXMINTRACK),
                        GetSystemMetrics(SM_CYMINTRACK));
    return {r.left, r.top, r.right - r.left, r.bottom - r.top,
            settings.window.maximized ? static_cast<DWORD>(WS_MAXIMIZE) : 0};
}

void remember_window_placement(HWND window) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window, &wp)) {
        return;
    }
    const POINT origin = workspace_origin();
    const RECT& r = wp.rcNormalPosition;
    settings.window.known = true;
    settings.window.normal = {r.left + origin.x, r.top + origin.y, r.right + origin.x,
                              r.bottom + origin.y};
    settings.window.maximized =
        wp.showCmd == SW_SHOWMAXIMIZED ||
        (wp.showCmd == SW_SHOWMINIMIZED && (wp.flags & WPF_RESTORETOMAXIMIZED) != 0);
}
