#ifndef PAIREX_COMMON_FRESH_PAGES_H
#define PAIREX_COMMON_FRESH_PAGES_H

#include <cstddef>

// Set by the Windows program: brings in the fresh pages of a block that is about to be
// written, in a few large steps instead of a fault at each page (see app_main.cpp).
// Null where faults cost little. Callable from any thread.
extern void (*bring_in_pages)(void* block, std::size_t bytes);

#endif
