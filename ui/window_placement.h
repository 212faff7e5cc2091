#ifndef PAIREX_UI_WINDOW_PLACEMENT_H
#define PAIREX_UI_WINDOW_PLACEMENT_H

#include <vector>

// Where the main window was when the program last ended, and where it opens now. The
// window system supplies the monitors and moves the window (ui/win32); which
// rectangle to use is decided here.

// A rectangle in screen pixels; `right` and `bottom` lie just outside it.
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const ScreenRect&) const = default;
};

// The main window's placement as kept in the settings file.
struct WindowPlacement {
    bool known = false;      // false: the window system chooses where the window opens
    ScreenRect normal = {};  // the rectangle when neither maximised nor minimised
    bool maximized = false;  // opens maximised (a minimised window that was maximised too)
};

// Stored coordinates beyond this, in either sign, and sizes beyond it are no placement
// the window system can have made; such a stored placement is ignored.
constexpr int PLACEMENT_COORDINATE_LIMIT = 32767;

// Reads "Window left", "Window top", "Window width", "Window height" and "Window
// maximized" from "Misc". A missing key, a size below one pixel or a value beyond
// PLACEMENT_COORDINATE_LIMIT gives an unknown placement.
WindowPlacement read_window_placement();

// Writes the five keys; an unknown placement writes nothing.
void write_window_placement(const WindowPlacement& placement);

// How much of the caption row must lie on a work area for the window to stay put.
constexpr int PLACEMENT_VISIBLE_MIN = 64;

// The rectangle to open the window at, given the saved one and the work areas of the
// monitors now attached (the primary one first). Its home is the work area it overlaps
// most or, when it overlaps none, the nearest one (the earliest of equally near ones).
// The saved rectangle is kept when it fits its home and its caption can be grabbed
// there; otherwise it is moved just enough to lie wholly on its home, shrunk to it if
// larger, and never made smaller than min_width by min_height. With no work areas the
// saved rectangle is used.
ScreenRect place_on_screen(const ScreenRect& saved, const std::vector<ScreenRect>& work_areas,
                           int min_width, int min_height);

#endif
