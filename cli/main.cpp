#if defined(__GLIBC__) || defined(__linux__)
#include <malloc.h>
#endif

#include <string>
#include <vector>

#include "engine/engine.h"

#ifdef _WIN32
#include "common/unicode.h"
#endif

// pairex-diff: the engine as a command. The argument vector is handed over unchanged;
// the exit status is the result code, a usage error (-1) exiting with status 2.
static int run(int argc, char** argv) {
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

#ifdef _WIN32
// The narrow arguments would come through the ANSI code page, names in other scripts
// as question marks: the wide ones are taken and turned into the engine's UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        const std::wstring_view arg(argv[i]);
        args.push_back(utf8_from_utf16(std::u16string(arg.begin(), arg.end())));
    }
    std::vector<char*> pointers;
    for (std::string& arg : args) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    return run(argc, pointers.data());
}
#else
int main(int argc, char** argv) {
    return run(argc, argv);
}
#endif
