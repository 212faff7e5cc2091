#ifndef PAIREX_UI_WIN32_DIALOG_TEMPLATE_H
#define PAIREX_UI_WIN32_DIALOG_TEMPLATE_H

#include <string>
#include <vector>

#include "ui/win32/windows_api.h"

// The predefined classes of a dialog template's controls.
constexpr WORD BUTTON_ATOM = 0x0080;
constexpr WORD EDIT_ATOM = 0x0081;
constexpr WORD STATIC_ATOM = 0x0082;

// A dialog template built in memory, for the dialogs that need no resource of their own:
// WORDs, each item on a double word; rectangles in dialog units (x, y, width, height).
class DialogTemplate {
public:
    // The dialog itself with `items` controls, its caption and its DS_SETFONT face at 8
    // points.
    void header(DWORD style, WORD items, short width, short height, const std::wstring& caption,
                const wchar_t* font) {
        dword(style);
        dword(0);  // extended style
        words_.push_back(items);
        box({0, 0, width, height});
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        text(caption);
        words_.push_back(8);
        text(font);
    }
    void item(DWORD style, WORD atom, WORD id, const short (&rect)[4], const std::wstring& title) {
        if (words_.size() % 2 != 0) {
            words_.push_back(0);  // items start on a double word
        }
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        box(rect);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(atom);
        text(title);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void dword(DWORD v) {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void box(const short (&rect)[4]) {
        for (short v : rect) {
            words_.push_back(static_cast<WORD>(v));
        }
    }
    void text(const std::wstring& s) {
        words_.insert(words_.end(), s.begin(), s.end());
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

#endif
