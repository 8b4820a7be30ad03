#pragma once

#include <cstdint>
#include <string>

namespace kx::store {

class RandomSource;

// Encode: the scrambled form of a stored text, four upper-case hexadecimal digits per
// character and four for the random key that ends it. The random source is reseeded
// first and then asked for the key and two numbers per character.
// Characters are scrambled as their Windows-1252 codes; a text holding a character that
// Windows-1252 lacks is scrambled as its UTF-8 bytes and the result starts with "U".
// Decode (random unused): the text back; digits count in either case, malformed groups
// give characters without meaning, never a failure.
std::string scrambleText(const std::string& text, bool encode, RandomSource& random);

// Upper-case hexadecimal digits of the value (a negative one as its 32-bit two's
// complement), padded with "0" in front to `width` characters.
std::string hexPad(std::int32_t value, std::int32_t width);

} // namespace kx::store
