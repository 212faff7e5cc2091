#include "common/fresh_pages.h"

void (*bring_in_pages)(void*, std::size_t) = nullptr;
