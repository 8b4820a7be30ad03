#pragma once

#include <cstdio>
#include <cstdlib>

// A property the fuzz targets check. A failure aborts, so libFuzzer keeps the input as a
// finding and the corpus runner of the normal build fails the test.
#define KX_FUZZ_CHECK(condition)                                                                             \
    ((condition) ? static_cast<void>(0) : kx::fuzz::fail(#condition, __FILE__, __LINE__))

namespace kx::fuzz {

[[noreturn]] inline void fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

} // namespace kx::fuzz
