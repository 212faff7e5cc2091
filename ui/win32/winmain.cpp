#include "ui/win32/windows_api.h"

#include "ui/win32/ui_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int /*show*/) {
    return app_main(instance, previous, command_line);
}
