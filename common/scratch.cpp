#include "common/scratch.h"

#include <cstdlib>

char* scratch_buffer = nullptr;

int allocate_scratch_buffer() {
    if (scratch_buffer == nullptr) {
        scratch_buffer = static_cast<char*>(std::calloc(SCRATCH_SIZE, 1));
    }
    return scratch_buffer != nullptr ? 0 : -1;
}
