#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

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

// The pieces of `data` between `separator` bytes (one piece when there is none).
inline std::vector<std::string_view> split(std::string_view data, char separator)
{
    std::vector<std::string_view> pieces;
    for (;;) {
        const std::size_t at = data.find(separator);
        pieces.push_back(data.substr(0, at));
        if (at == std::string_view::npos)
            return pieces;
        data.remove_prefix(at + 1);
    }
}

} // namespace kx::fuzz
