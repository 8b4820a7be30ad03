#pragma once

#include <string>
#include <string_view>

namespace kx::platform {
class Clipboard;
class KeyboardOutput;
} // namespace kx::platform

namespace kx::transmit {

// The characters with a meaning of their own in the keystroke syntax, in the program's order.
inline constexpr const char* keystrokeSpecialChars = "~+^%()[]{}";

// Each of "~+^%()[]{}" wrapped in braces ("a+b" -> "a{+}b"); everything else unchanged.
std::string escapeKeystrokeChars(const std::string& text);

// The keystroke string that types an expanded text: special
// characters escaped, then CR -> "~", TAB -> "{TAB}", "@" -> "{@}". LF passes unchanged.
std::string encodeKeystrokes(std::string_view sendText);

// For console windows: puts `sendText` (the expanded text) on the clipboard and replaces
// it with the platform's paste keystrokes. False when the clipboard refused the text
// (`sendText` is replaced all the same, as the paste then simply pastes something else).
bool pasteIntoConsole(
    std::string& sendText, platform::Clipboard& clipboard, const platform::KeyboardOutput& keyboard);

} // namespace kx::transmit
