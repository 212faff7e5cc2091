// Property tests of the difference engine over many seeded random file pairs: the
// listing must replay the first file into the second (modulo what the options declare
// equal), quote both files exactly, follow the normal-format grammar, and agree with
// the result code.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/engine/property_support.h"

namespace {

using namespace property;

// Enough pairs to hit the rare shapes (Ctrl-Z, empty files, -B-only hunks) many times;
// fewer under the sanitizers and wine, where each run is slower, never below 2,000.
#if defined(_WIN32)
constexpr int DEFAULT_PAIRS = 2000;
#elif defined(__SANITIZE_ADDRESS__)
constexpr int DEFAULT_PAIRS = 2000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int DEFAULT_PAIRS = 2000;
#else
constexpr int DEFAULT_PAIRS = 6000;
#endif
#else
constexpr int DEFAULT_PAIRS = 6000;
#endif

long env_number(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0' ? std::strtol(v, nullptr, 10) : fallback;
}

TEST(EngineProperty, ListingReplaysFirstFileIntoSecond) {
    const long pairs = env_number("PAIREX_PROPERTY_PAIRS", DEFAULT_PAIRS);
    const unsigned seed = static_cast<unsigned>(env_number("PAIREX_PROPERTY_SEED", DEFAULT_SEED));
    Generator gen(seed);
    TempDir dir;
    ASSERT_LE(dir.file("o").size(), 80u) << "the engine keeps -o paths of 80 characters";
    int differing = 0, failures = 0;
    for (long n = 0; n < pairs && failures < 3; ++n) {
        const Case c = gen.make_case();
        Outcome out;
        std::string why = run_and_check(c, dir, &out);
        if (why.empty() && n % 29 == 0) {
            // A second identical run in the same process lists exactly the same: no state
            // leaks from one run into the next.
            Outcome again;
            run_and_check(c, dir, &again);
            if (again.result != out.result || again.listing_raw != out.listing_raw) {
                why = "a second identical run gave result " + std::to_string(again.result) +
                      " and listing " + escaped(again.listing_raw);
            }
        }
        if (why.empty() && n % 4 == 0) {
            // The same pair the other way round.
            Case swapped = c;
            std::swap(swapped.first, swapped.second);
            why = run_and_check(swapped, dir);
            if (!why.empty()) {
                ADD_FAILURE() << "pair " << n
                              << " (swapped), as found: " << failure_report(swapped, dir)
                              << "\nsmallest failing pair: "
                              << failure_report(shrink(swapped, dir), dir);
                ++failures;
                continue;
            }
        }
        if (!why.empty()) {
            ADD_FAILURE() << "pair " << n << ", as found: " << failure_report(c, dir)
                          << "\nsmallest failing pair: " << failure_report(shrink(c, dir), dir);
            ++failures;
        }
        differing += out.result == 1;
    }
    // The generator must keep producing both outcomes, or the property says little.
    EXPECT_GT(differing, pairs / 2);
    EXPECT_LT(differing, pairs - pairs / 50);
}

}  // namespace
