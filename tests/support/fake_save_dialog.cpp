// The merge tests' save dialog: answered from fake_platform().save_results. Apart from
// the rest of the fake, because the user interface brings its own.
#include "tests/support/fake_platform.h"

int platform_save_dialog(std::string& chosen) {
    FakePlatform& f = fake_platform();
    ++f.save_dialogs;
    f.calls.push_back("save_dialog");
    if (f.save_results.empty() || !f.save_results.front()) {
        if (!f.save_results.empty()) {
            f.save_results.pop_front();
        }
        return -1;
    }
    chosen = *f.save_results.front();
    f.save_results.pop_front();
    return 0;
}
