#include "store/Scrambling.h"

#include "store/RandomSource.h"
#include "text/Text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kx::store {

namespace {

// The key byte of the character at 1-based position i: the key divided by
// 2^(i mod 8), rounded half to even, low 8 bits.
unsigned keyByte(unsigned key, std::size_t position)
{
    const unsigned shift = static_cast<unsigned>(position % 8);
    unsigned quotient = key >> shift;
    if (shift > 0) {
        const unsigned rest = key & ((1u << shift) - 1);
        const unsigned half = 1u << (shift - 1);
        if (rest > half || (rest == half && (quotient & 1u) != 0))
            ++quotient;
    }
    return quotient & 0xFFu;
}

// Key bytes by position modulo 8 (the shift repeats every eight characters).
std::array<unsigned, 8> keyBytes(unsigned key)
{
    std::array<unsigned, 8> bytes {};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = keyByte(key, i);
    return bytes;
}

unsigned randomBelow(RandomSource& random, unsigned limit)
{
    const double r = std::clamp(random.next(), 0.0, 1.0);
    return std::min(static_cast<unsigned>(r * limit), limit - 1);
}

constexpr int hexDigit(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A') + 10;
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a') + 10;
    return -1;
}

constexpr std::array<signed char, 256> hexDigitTable()
{
    std::array<signed char, 256> table {};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<signed char>(hexDigit(static_cast<char32_t>(c)));
    return table;
}

int digitOf(char c)
{
    static constexpr auto table = hexDigitTable();
    return table[static_cast<unsigned char>(c)];
}
int digitOf(char32_t c) { return hexDigit(c); }

// The longest prefix of hexadecimal digits; none gives 0.
template <typename Char> unsigned hexValue(std::basic_string_view<Char> group)
{
    unsigned value = 0;
    for (Char c : group) {
        const int digit = digitOf(c);
        if (digit < 0)
            break;
        value = (value << 4) | static_cast<unsigned>(digit);
    }
    return value & 0xFFFFu;
}

std::string scramble(std::string_view codes, RandomSource& random)
{
    random.reseed();
    const unsigned key = randomBelow(random, 65536);
    const auto bytes = keyBytes(key);
    std::string scrambled;
    scrambled.reserve(codes.size() * 4 + 4);
    for (std::size_t i = 1; i <= codes.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(codes[i - 1]);
        unsigned value = ((code ^ bytes[i % 8]) & 0xFFu) << 4;
        const unsigned high = randomBelow(random, 16);
        const unsigned low = randomBelow(random, 16);
        value |= (high << 12) | low;
        scrambled += hexPad(static_cast<std::int32_t>(value), 4);
    }
    scrambled += hexPad(static_cast<std::int32_t>(key), 4);
    return scrambled;
}

// Positions count characters: `text` is either all ASCII bytes or code points.
template <typename Char> std::string unscramble(std::basic_string_view<Char> text)
{
    const std::size_t length = text.size();
    const unsigned key = hexValue(length < 4 ? text : text.substr(length - 4));
    const auto bytes = keyBytes(key);
    std::string codes;
    if (length > 4)
        codes.reserve((length - 4) / 4);
    for (std::size_t i = 0; i + 4 < length; i += 4) {
        const unsigned value = hexValue(text.substr(i, 4));
        const unsigned code = (value & 0xFF0u) >> 4;
        codes += static_cast<char>(code ^ bytes[(codes.size() + 1) % 8]);
    }
    return codes;
}

} // namespace

std::string hexPad(std::int32_t value, std::int32_t width)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string hex;
    do {
        hex.insert(hex.begin(), digits[bits & 0xFu]);
        bits >>= 4;
    } while (bits != 0);
    if (static_cast<std::int32_t>(hex.size()) < width)
        hex.insert(0, static_cast<std::size_t>(width) - hex.size(), '0');
    return hex;
}

std::string scrambleText(const std::string& text, bool encode, RandomSource& random)
{
    if (encode) {
        if (const auto codes = text::encodeWindows1252(text))
            return scramble(*codes, random);
        return "U" + scramble(text, random);
    }
    std::string_view body(text);
    const bool marked = !body.empty() && body.front() == 'U';
    if (marked)
        body.remove_prefix(1);
    const bool ascii = std::all_of(body.begin(), body.end(), [](char c) { return (c & 0x80) == 0; });
    const std::string codes = ascii ? unscramble(body) : unscramble(std::u32string_view(text::toUtf32(body)));
    if (marked) // garbage under the marker must still come out as valid UTF-8
        return text::toUtf8(text::toUtf32(codes));
    return text::decodeWindows1252(codes);
}

} // namespace kx::store
