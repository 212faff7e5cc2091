#ifndef PAIREX_COMMON_FILE_IDENTITY_H
#define PAIREX_COMMON_FILE_IDENTITY_H

// True when `a` and `b` name one existing file, however each is spelled (another
// letter case, "." and ".." parts, relative against absolute), or are the same
// spelling without regard to case. A path that does not exist names no file.
bool same_file(const char* a, const char* b);

#endif
