#ifndef PAIREX_TESTS_WIN32_CAPTURE_H
#define PAIREX_TESTS_WIN32_CAPTURE_H

#include "ui/win32/windows_api.h"

#include <cstdint>
#include <ostream>
#include <vector>

// Pixels read back from the program's windows.

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb WHITE{255, 255, 255};
constexpr Rgb GREEN{0, 255, 0};
constexpr Rgb YELLOW{255, 255, 0};
constexpr Rgb CYAN{0, 255, 255};

void PrintTo(const Rgb& c, std::ostream* os);

// 32-bit pixels (0x00RRGGBB), top row first, copied out of a device context from its
// row `top` down.
std::vector<std::uint32_t> grab(HDC src, int width, int height, int top = 0);

// The client area of a window, copied out of the screen into memory once the window
// has painted what was pending.
class Capture {
public:
    explicit Capture(HWND window);
    Rgb at(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }
    bool operator==(const Capture& other) const { return pixels_ == other.pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Writes the whole window, frame and menu included, as a 32-bit top-down BMP file; a
// relative path is taken from the directory the test program started in.
void save_window_picture(HWND window, const char* path);

// The fill of a pane's screen row `row`: its rightmost pixels, where no text reaches.
Rgb row_fill(const Capture& c, int row);

#endif
