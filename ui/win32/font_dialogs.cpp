#include "ui/win32/windows_api.h"

#include "merge/merge_platform.h"
#include "ui/scrolling.h"
#include "ui/settings.h"
#include "ui/ui_platform.h"
#include "ui/view/dpi_scale.h"
#include "ui/view/view_scroll.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/dpi_win32.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

namespace {

// Runs the system's font dialog on `spec`. Returns true and the user's choice in
// `chosen` when confirmed.
bool run_font_dialog(const FontSpec& spec, FontSpec& chosen) {
    LOGFONTW lf = logical_font(spec);
    lf.lfHeight = dpi_scale(spec.height, system_dpi());  // shown in points at 96 DPI
    CHOOSEFONTW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = nullptr;
    request.hInstance = ui_state.instance;
    request.lpLogFont = &lf;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    // The dialog has no owner, so the main window may have gone while it was open.
    if (!ChooseFontW(&request) || !IsWindow(ui_state.main_window)) {
        return false;
    }
    chosen = FontSpec{};
    const std::string face = narrow(lf.lfFaceName);
    if (face.size() >= sizeof chosen.face_name) {
        return false;  // cannot happen: LOGFONTW holds no face longer than FontSpec holds
    }
    face.copy(chosen.face_name, face.size());
    chosen.height = dpi_unscale(lf.lfHeight, system_dpi());  // stored at 96 DPI
    chosen.weight = lf.lfWeight;
    chosen.italic = lf.lfItalic;
    chosen.pitch_and_family = lf.lfPitchAndFamily;
    // Kept as stored: the next start makes the font with the default character set.
    chosen.char_set = spec.char_set;
    return true;
}

// Asks for a new font for `spec`; on success `spec` holds it and `font` is the new
// font, the old one deleted. A font that cannot be made leaves both as they were, so
// that the settings file keeps describing the font in use.
bool replace_font(FontSpec& spec, HFONT& font) {
    FontSpec chosen;
    if (!run_font_dialog(spec, chosen)) {
        return false;
    }
    HFONT made = make_font(chosen);
    if (made == nullptr) {
        return false;
    }
    spec = chosen;
    if (font != nullptr) {
        DeleteObject(font);
    }
    font = made;
    return true;
}

}  // namespace

void choose_text_font(HWND) {
    if (!replace_font(settings.text_font, ui_state.text_font)) {
        return;
    }
    measure_text_font();
    // A page step must follow the new row height now, not at the next resize.
    RECT client;
    if (GetClientRect(ui_state.left_pane, &client)) {
        view_metrics.page_rows =
            page_rows(client.bottom, view_metrics.hscroll_height, view_metrics.line_height);
    }
    platform_repaint_panes();
}

void choose_title_font(HWND main_window) {
    if (!replace_font(settings.title_font, ui_state.title_font)) {
        return;
    }
    measure_title_font();
    RECT client;
    GetClientRect(main_window, &client);
    layout_children(client.right, client.bottom);
    // The children too: a title bar whose size stays must still draw the new font.
    RedrawWindow(main_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ui_font_dialog() {
    choose_text_font(ui_state.main_window);
}

void ui_title_font_dialog() {
    choose_title_font(ui_state.main_window);
}
