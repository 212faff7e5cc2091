#ifndef PAIREX_COMMON_SCRATCH_H
#define PAIREX_COMMON_SCRATCH_H

#include <cstddef>

// The process-wide short-lived work area. Its contents are valid only until the
// next use by anyone.
constexpr std::size_t SCRATCH_SIZE = 16384;
extern char* scratch_buffer;

// Allocates scratch_buffer once (later calls keep the first buffer).
// Returns 0, or -1 when memory runs out (nothing is reported).
int allocate_scratch_buffer();

#endif
