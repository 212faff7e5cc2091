#if defined(__GLIBC__) || defined(__linux__)
#include <malloc.h>
#endif

#include "engine/engine.h"

// pairex-diff: the engine as a command. The argument vector is handed over unchanged;
// the exit status is the result code, a usage error (-1) exiting with status 2.
int main(int argc, char** argv) {
#ifdef M_MMAP_THRESHOLD
    // The engine's stages allocate and free tables of many megabytes one after the
    // other: kept in the heap rather than mapped afresh each time, a later table reuses
    // the pages of an earlier one instead of faulting in and zeroing new ones.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
    engine_set_stdout_fallback(true);
    engine_set_text_mode_warnings(true);
    const int result = engine_run(argc, argv);
    return result < 0 ? 2 : result;
}
