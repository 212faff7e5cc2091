#ifndef PAIREX_TESTS_WIN32_DRIVER_H
#define PAIREX_TESTS_WIN32_DRIVER_H

#include "ui/win32/windows_api.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Runs the real program in-process (app_main with a command line and its message loop)
// and drives it from a thread timer: the script's steps run one after the other, each
// until it returns true; message boxes and file dialogs are answered from a queue.

struct DialogAnswer {
    int button;        // IDOK, IDYES, IDNO, IDCANCEL
    std::string path;  // for a file dialog: the name typed before OK
};

struct SeenDialog {
    std::string caption;
    std::string text;
    bool operator==(const SeenDialog&) const = default;
};

class ProgramDriver {
public:
    using Step = std::function<bool()>;

    std::deque<DialogAnswer> answers;
    std::vector<SeenDialog> seen;
    std::vector<Step> steps;
    int timeout_ms = 15000;
    // The question Quit asks about unwritten choices is answered Yes without taking an
    // answer from the queue or showing in `seen`, only counted; tests of the question
    // itself turn this off.
    bool confirm_quit_question = true;
    int quit_questions = 0;

    // Runs app_main(command_line) until its message loop ends. Returns its exit code;
    // timed_out() tells whether the script had to be abandoned.
    int run(const char* command_line);
    bool timed_out() const { return timed_out_; }
    bool finished() const { return next_ == steps.size(); }

    // Steps.
    static Step post(int command_id);
    static Step wait_until(std::function<bool()> condition);
    static Step check(std::function<void()> body);

private:
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD);
    static LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam);
    void answer(HWND dialog);

    std::size_t next_ = 0;
    bool busy_ = false;
    bool timed_out_ = false;
    DWORD started_ = 0;
    HWND pending_ = nullptr;
};

// Path of the settings file the program uses (%APPDATA%\Pairex\pairex.ini), its
// folder, and the one an older Pairex used (in the Windows folder).
std::string settings_file_path();
std::string settings_folder_path();
std::string old_settings_file_path();
// Has the system write out what it holds of the settings file, and read it afresh.
void flush_settings_cache();
// Reads a key of the real settings file ("<missing>" when absent).
std::string ini_get(const char* section, const char* key);
void ini_set(const char* section, const char* key, const char* value);

// Back to "never started": the program's state records, and a fresh settings file.
void reset_program_state();

#endif
