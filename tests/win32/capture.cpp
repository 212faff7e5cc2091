#include "tests/win32/capture.h"

#include "ui/scrolling.h"

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

std::vector<std::uint32_t> grab(HDC src, int width, int height, int top) {
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, src, 0, top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(p, p + static_cast<std::size_t>(width) * height);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return pixels;
}

Capture::Capture(HWND window) {
    UpdateWindow(window);
    RECT r;
    GetClientRect(window, &r);
    width_ = r.right;
    height_ = r.bottom;
    HDC src = GetDC(window);
    pixels_ = grab(src, width_, height_);
    ReleaseDC(window, src);
}

Rgb Capture::at(int x, int y) const {
    const std::uint32_t v = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return {static_cast<int>((v >> 16) & 255), static_cast<int>((v >> 8) & 255),
            static_cast<int>(v & 255)};
}

Rgb row_fill(const Capture& c, int row) {
    const int h = view_metrics.line_height;
    return c.at(c.width() - 4, row * h + h / 2);
}
