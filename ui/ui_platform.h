#ifndef PAIREX_UI_UI_PLATFORM_H
#define PAIREX_UI_UI_PLATFORM_H

#include "merge/merge_platform.h"

struct FilePicker;

// What the platform-free user interface asks of the window system beyond what the
// merge layer asks (merge/merge_platform.h: repaints, the scroll bar, questions,
// posted requests). The Windows program implements these in ui/win32; the tests
// record every call.

// Start-up pieces, in the order start_application runs them. Each returning int
// gives 0, or -1 when the window system refused.
int ui_create_brushes();
void ui_load_3d_controls();
int ui_create_main_window();   // its creation message runs load_settings
void ui_title_font_changed();  // (re)creates the title font and measures it
int ui_create_children();
int ui_load_menus();
// Creates the text font from settings.text_font and measures it.
void ui_text_font_changed();
// Deletes the brushes and both fonts.
void ui_release_gdi();

// The look (settings.theme, Windows' app mode, high contrast) may have changed: the
// brushes are made again and every window repainted in it.
void ui_theme_changed();

void ui_post_quit();
void ui_check_menu_item(int id, int checked);
void ui_set_horizontal_position(Side side, int position);
// The pane under the mouse pointer is the left one.
bool ui_pointer_over_left_pane();

// Runs the picker as its kind of dialog; returns 1 when the user confirmed (the
// chosen path is then in picker.file_name), 0 when cancelled.
int ui_run_file_picker(FilePicker& picker);

// Puts the directory walk's File popup (walking) or the main window's own File popup
// in the first place of the menu bar, labelled "File", and redraws the bar.
void ui_show_walk_menu(bool walking);

// The modal dialogs of the Options and Help menus. The font dialogs replace the text
// or title font (and its FontSpec) with the user's choice; the tab size dialog sets
// settings.tab_size; the help shows the help file, or the program's own help page
// when there is none; the About box shows the program's title.
void ui_title_font_dialog();
void ui_tab_size_dialog();
void ui_font_dialog();
void ui_help_contents();
void ui_about_box();
// "Edit block": shows the current block's merged text for editing; OK makes the edited
// text the block's (edit_current_block), Cancel changes nothing.
void ui_edit_block_dialog();
// settings.merged_result changed: the merged text below the panes appears or goes.
void ui_merged_result_changed();

#endif
