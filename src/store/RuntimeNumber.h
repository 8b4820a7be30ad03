#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kx::store {

// A number read the way the BASIC runtime's Val function reads it, independent of the
// process locale: blanks, tabs and line feeds anywhere are ignored; the longest numeric
// prefix counts (one sign, digits, a "." fraction, an exponent with E or D), or "&H"
// hexadecimal / "&O" octal digits, whose value is a 16-bit number up to &HFFFF (so "&HFFFF"
// is -1) and a 32-bit one up to &HFFFFFFFF.
// A text without a number gives 0. Nothing when the number is too large for the runtime
// (more than 32 bits of hexadecimal or octal digits, a decimal beyond the double range).
std::optional<double> parseRuntimeNumber(std::string_view text);

// Rounded to the nearest integer, halves to the even neighbour; nothing when the result
// does not fit the type (callers then use the option's default).
std::optional<std::int16_t> roundToInt16(double value);
std::optional<std::int32_t> roundToInt32(double value);

// The flag test of Crypt and DosBox: the number read is non-zero (a number too large to
// read is certainly not zero).
bool isNonZeroNumber(std::string_view text);

} // namespace kx::store
