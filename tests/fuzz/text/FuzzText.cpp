// The text helpers every layer relies on: decoding never makes invalid UTF-8, Windows-1252
// keeps every byte, and the sort order of the lists is a consistent order.

#include "FuzzCheck.h"
#include "text/Text.h"

#include <cstdint>
#include <string>

namespace {

int sign(int value) { return (value > 0) - (value < 0); }

std::size_t characters(std::string_view utf8) { return kx::text::toUtf32(utf8).size(); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kx::text;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded1252 = decodeWindows1252(bytes);
    KX_FUZZ_CHECK(isValidUtf8(decoded1252));
    KX_FUZZ_CHECK(encodeWindows1252(decoded1252) == std::string(bytes));
    for (const char32_t c : toUtf32(decoded1252))
        KX_FUZZ_CHECK(windows1252Code(c) >= 0);

    const std::u32string wide = toUtf32(bytes);
    for (const char32_t c : wide)
        KX_FUZZ_CHECK(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
    const std::string narrow = toUtf8(wide);
    KX_FUZZ_CHECK(isValidUtf8(narrow));
    KX_FUZZ_CHECK(toUtf32(narrow) == wide);
    if (isValidUtf8(bytes)) {
        KX_FUZZ_CHECK(narrow == bytes);
        if (const auto encoded = encodeWindows1252(bytes))
            KX_FUZZ_CHECK(decodeWindows1252(*encoded) == bytes);
    }

    const std::size_t ascii = skipAscii(bytes);
    KX_FUZZ_CHECK(ascii <= bytes.size());
    KX_FUZZ_CHECK(ascii == bytes.size() || (static_cast<unsigned char>(bytes[ascii]) & 0x80) != 0);
    KX_FUZZ_CHECK(isValidUtf8(bytes.substr(0, ascii)));

    KX_FUZZ_CHECK(isValidUtf8(decodeFileText(bytes)));
    KX_FUZZ_CHECK(characters(upperCase(narrow)) == wide.size());
    KX_FUZZ_CHECK(characters(lowerCase(narrow)) == wide.size());

    const std::string trimmed = trimSpaces(bytes);
    KX_FUZZ_CHECK(bytes.find(trimmed) != std::string_view::npos);
    KX_FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));

    // The sort order: antisymmetric and transitive over three pieces of the input.
    const auto pieces = kx::fuzz::split(bytes, '\x01');
    const std::string_view a = pieces[0];
    const std::string_view b = pieces.size() > 1 ? pieces[1] : std::string_view();
    const std::string_view c = pieces.size() > 2 ? pieces[2] : std::string_view();
    KX_FUZZ_CHECK(compareForSortedList(a, a) == 0);
    const int ab = sign(compareForSortedList(a, b));
    const int bc = sign(compareForSortedList(b, c));
    KX_FUZZ_CHECK(ab == -sign(compareForSortedList(b, a)));
    if (ab <= 0 && bc <= 0)
        KX_FUZZ_CHECK(compareForSortedList(a, c) <= 0);
    if (ab == 0)
        KX_FUZZ_CHECK(sign(compareForSortedList(a, c)) == bc);
    return 0;
}
