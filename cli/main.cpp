#include "engine/engine.h"

// pairex-diff: the engine as a command. The argument vector is handed over unchanged;
// the exit status is the result code, a usage error (-1) exiting with status 2.
int main(int argc, char** argv) {
    engine_set_stdout_fallback(true);
    const int result = engine_run(argc, argv);
    return result < 0 ? 2 : result;
}
