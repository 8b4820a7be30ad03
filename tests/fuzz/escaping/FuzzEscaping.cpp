// Escaping of stored entry texts: unescaping takes anything, escaping is undone by
// unescaping, and a stored form in the program's own spelling comes back unchanged.

#include "FuzzCheck.h"
#include "store/Escaping.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The spelling escapeText produces: no raw tab, line break or double quote, and every
// backslash starts one of the escapes it writes.
bool isOwnSpelling(std::string_view stored)
{
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (c == '\t' || c == '\n' || c == '\r' || c == '"')
            return false;
        if (c == '\\') {
            if (i + 1 == stored.size()
                || std::string_view("\\TLNH").find(stored[i + 1]) == std::string_view::npos)
                return false;
            ++i;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kx::store;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::string plain = unescapeText(text);
    KX_FUZZ_CHECK(plain.size() <= text.size());
    KX_FUZZ_CHECK(unescapeText(escapeText(text)) == text);
    if (isOwnSpelling(text))
        KX_FUZZ_CHECK(escapeText(plain) == text);
    return 0;
}
