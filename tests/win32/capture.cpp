#include "tests/win32/capture.h"

#include <cstdio>
#include <filesystem>

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

// Writes the whole window, frame and menu included, as a 32-bit top-down BMP file.
namespace {
// Where the test program started (ctest's working directory): a test that leaves the
// current directory elsewhere must not send the pictures with it.
const std::filesystem::path start_directory = std::filesystem::current_path();
}  // namespace

void save_window_picture(HWND window, const char* path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC src = GetWindowDC(window);
    std::vector<std::uint32_t> pixels = grab(src, w, h);
    ReleaseDC(window, src);
    for (std::uint32_t& p : pixels) {
        p |= 0xFF000000u;  // opaque: readers take the fourth byte as alpha
    }
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD image = static_cast<DWORD>(pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + image;
    if (FILE* f = _wfopen((start_directory / path).wstring().c_str(), L"wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(pixels.data(), 1, image, f);
        std::fclose(f);
    }
}
