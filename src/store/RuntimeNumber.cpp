#include "store/RuntimeNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kx::store {

namespace {

bool isIgnorable(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c, int base)
{
    int value = -1;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// "&H" and "&O" numbers take the smallest of the runtime's integer types that holds
// their bits, read as signed: "&HFFFF" is a 16-bit -1, "&H10000" a 32-bit 65536.
std::optional<double> basedValue(std::string_view digits, int base)
{
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            break;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    if (value <= 0xFFFFu)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

std::string_view takeDigits(std::string_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

// A decimal beyond the double range: tell overflow (no value) from underflow (zero) by
// where the first significant digit stands.
std::optional<double> outOfRange(
    std::string_view integer, std::string_view fraction, bool negativeExponent, std::string_view exponent)
{
    long long magnitude = 0;
    const auto firstNonZero = integer.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos) {
        magnitude = static_cast<long long>(integer.size() - firstNonZero);
    } else {
        const auto inFraction = fraction.find_first_not_of('0');
        if (inFraction == std::string_view::npos)
            return 0.0;
        magnitude = -static_cast<long long>(inFraction);
    }
    long long exp = 0;
    for (char c : exponent) {
        exp = exp * 10 + (c - '0');
        if (exp > 1'000'000'000)
            break;
    }
    magnitude += negativeExponent ? -exp : exp;
    if (magnitude <= 0)
        return 0.0;
    return std::nullopt;
}

} // namespace

std::optional<double> parseRuntimeNumber(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!isIgnorable(c))
            s += c;

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = s[1];
        if (kind == 'H' || kind == 'h')
            return basedValue(std::string_view(s).substr(2), 16);
        if (kind == 'O' || kind == 'o')
            return basedValue(std::string_view(s).substr(2), 8);
        return 0.0;
    }

    const std::string_view view(s);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < view.size() && (view[pos] == '+' || view[pos] == '-')) {
        negative = view[pos] == '-';
        ++pos;
    }
    const std::string_view integer = takeDigits(view, pos);
    std::string_view fraction;
    if (pos < view.size() && view[pos] == '.') {
        ++pos;
        fraction = takeDigits(view, pos);
    }
    if (integer.empty() && fraction.empty())
        return 0.0;

    bool negativeExponent = false;
    std::string_view exponent;
    if (pos < view.size() && (view[pos] == 'E' || view[pos] == 'e' || view[pos] == 'D' || view[pos] == 'd')) {
        std::size_t expPos = pos + 1;
        bool expNegative = false;
        if (expPos < view.size() && (view[expPos] == '+' || view[expPos] == '-')) {
            expNegative = view[expPos] == '-';
            ++expPos;
        }
        const std::string_view digits = takeDigits(view, expPos);
        // "1E" or "1E+" without digits: the exponent is no part of the number.
        if (!digits.empty()) {
            negativeExponent = expNegative;
            exponent = digits;
        }
    }

    // std::from_chars reads the C locale's format whatever the process locale is.
    std::string canonical(negative ? "-" : "");
    canonical += integer.empty() ? std::string_view("0") : integer;
    if (!fraction.empty()) {
        canonical += '.';
        canonical += fraction;
    }
    if (!exponent.empty()) {
        canonical += negativeExponent ? "e-" : "e";
        canonical += exponent;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        return outOfRange(integer, fraction, negativeExponent, exponent);
    if (ec != std::errc())
        return 0.0;
    return value;
}

namespace {

std::optional<double> roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return whole;
}

template <typename Int> std::optional<Int> roundTo(double value)
{
    const auto rounded = roundHalfEven(value);
    if (!rounded || *rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || *rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(*rounded);
}

} // namespace

std::optional<std::int16_t> roundToInt16(double value) { return roundTo<std::int16_t>(value); }

std::optional<std::int32_t> roundToInt32(double value) { return roundTo<std::int32_t>(value); }

bool isNonZeroNumber(std::string_view text)
{
    const auto value = parseRuntimeNumber(text);
    return !value || *value != 0.0;
}

} // namespace kx::store
