/* Keeps wine's server and desktop services up for the whole test run, started with
   the test script's own output files, so that no later test program's pipes are held
   open by a service it happened to start. */
#include <windows.h>

int main(void) {
    GetDesktopWindow();
    for (;;) {
        Sleep(60000);
    }
}
