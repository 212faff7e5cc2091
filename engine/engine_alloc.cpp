#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/report.h"
#include "engine/engine_internal.h"

void FreeDeleter::operator()(char* p) const {
    std::free(p);
}

void report_engine_error(const char* format, const char* arg1, const char* arg2) {
    report_message(format_message(format, arg1, arg2).c_str(), SEVERITY_ERROR);
}

static bool memory_reported = false;

void engine_reset_memory_report() {
    memory_reported = false;
}

void engine_out_of_memory() {
    if (!memory_reported) {
        memory_reported = true;
        report_engine_error("Not enough memory");
    }
    throw EngineOutOfMemory{};
}

void* engine_alloc(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        engine_out_of_memory();
    }
    return p;
}

void* engine_realloc(void* block, std::size_t size) {
    void* p = std::realloc(block, size == 0 ? 1 : size);
    if (p == nullptr) {
        engine_out_of_memory();
    }
    return p;
}
