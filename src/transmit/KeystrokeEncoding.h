#pragma once

#include <string>
#include <string_view>

namespace kx::transmit {

// The characters with a meaning of their own in the keystroke syntax, in the program's order.
inline constexpr const char* keystrokeSpecialChars = "~+^%()[]{}";

// The keystroke string that types an expanded text: each special character wrapped in
// braces ("a+b" -> "a{+}b"), CR -> "~", TAB -> "{TAB}", "@" -> "{@}". LF passes unchanged.
std::string encodeKeystrokes(std::string_view sendText);

} // namespace kx::transmit
