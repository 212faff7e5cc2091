#ifndef PAIREX_UI_WIN32_QUESTION_BOX_H
#define PAIREX_UI_WIN32_QUESTION_BOX_H

#include "ui/win32/windows_api.h"

// The buttons of the walk's questions, by id: the message box's Yes, No and Cancel, and
// "Yes to all" and "No to all".
enum QuestionButtonId {
    QUESTION_CANCEL = IDCANCEL,
    QUESTION_YES = IDYES,
    QUESTION_NO = IDNO,
    QUESTION_YES_TO_ALL = 20,
    QUESTION_NO_TO_ALL = 21,
};

// A question box built as the system's message box is (a "#32770" dialog, the caption,
// the text in the static control 0xFFFF) with the buttons above. Returns the id of the
// button pressed; Escape and closing the box give QUESTION_CANCEL.
int ask_with_all_buttons(HWND owner, const char* caption, const char* text);

#endif
