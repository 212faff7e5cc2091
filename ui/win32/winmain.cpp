#include "ui/win32/windows_api.h"

#include "ui/command_line.h"
#include "ui/win32/ui_state.h"
#include "ui/win32/wide.h"

// The narrow command line would come through the ANSI code page: names in other
// scripts would reach the program as question marks.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int /*show*/) {
    const std::string whole = narrow(GetCommandLineW());
    return app_main(instance, previous, std::string(arguments_of(whole)).c_str());
}
