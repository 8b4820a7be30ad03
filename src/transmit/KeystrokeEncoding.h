#pragma once

#include <string>
#include <string_view>

namespace kx::transmit {

// The characters with a meaning of their own in the keystroke syntax, in the program's order.
inline constexpr const char* keystrokeSpecialChars = "~+^%()[]{}";

// Each of "~+^%()[]{}" wrapped in braces ("a+b" -> "a{+}b"); everything else unchanged.
std::string escapeKeystrokeChars(const std::string& text);

// The keystroke string that types an expanded text: special
// characters escaped, then CR -> "~", TAB -> "{TAB}", "@" -> "{@}". LF passes unchanged.
std::string encodeKeystrokes(std::string_view sendText);

} // namespace kx::transmit
