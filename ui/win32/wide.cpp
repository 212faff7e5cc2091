#include "ui/win32/windows_api.h"

#include <algorithm>
#include <climits>

#include "ui/win32/wide.h"

unsigned system_ansi_code_page() {
    static const UINT code_page = [] {
        DWORD locale_page = 0;
        if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT,
                           LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&locale_page),
                           sizeof locale_page / sizeof(wchar_t)) != 0 &&
            locale_page != 0 && locale_page != CP_UTF8) {
            return static_cast<UINT>(locale_page);
        }
        const UINT active = GetACP();
        return active != CP_UTF8 ? active : 1252u;
    }();
    return code_page;
}

bool append_from_code_page(std::string_view bytes, unsigned code_page, std::string& out,
                           bool* exact) {
    if (exact != nullptr) {
        *exact = true;
    }
    if (bytes.empty()) {
        return true;
    }
    const int length = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX / 2));
    // Bytes that stand for no character are shown as the code page's stand-in, and the
    // text is then not exact.
    int units =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    const bool strict = units > 0;
    if (!strict) {
        units = MultiByteToWideChar(code_page, 0, bytes.data(), length, nullptr, 0);
    }
    if (units <= 0) {
        return false;
    }
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(code_page, strict ? MB_ERR_INVALID_CHARS : 0, bytes.data(), length,
                        text.data(), units);
    out += narrow(text);
    if (exact != nullptr) {
        *exact = strict && static_cast<std::size_t>(length) == bytes.size();
    }
    return true;
}

bool append_to_code_page(std::string_view utf8, unsigned code_page, std::string& out) {
    std::wstring units;
    if (!wide_exact(utf8, units) || units.size() > INT_MAX) {
        return false;
    }
    if (units.empty()) {
        return true;
    }
    const int length = static_cast<int>(units.size());
    BOOL used_default = FALSE;
    const int bytes = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units.data(), length,
                                          nullptr, 0, nullptr, &used_default);
    if (bytes <= 0 || used_default != FALSE) {
        return false;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(bytes));
    return WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units.data(), length,
                               out.data() + at, bytes, nullptr, nullptr) == bytes;
}
