#pragma once

#include <string>

namespace kx::platform {
class Clipboard;
class KeyboardOutput;
} // namespace kx::platform

namespace kx::transmit {

// The characters with a meaning of their own in the keystroke syntax, in the program's order.
inline constexpr const char* keystrokeSpecialChars = "~+^%()[]{}";

// Each of "~+^%()[]{}" wrapped in braces ("a+b" -> "a{+}b"); everything else unchanged.
std::string EscapeKeystrokeChars(const std::string& text);

// Turns an expanded text into the keystroke string that types it, in place: special
// characters escaped, then CR -> "~", TAB -> "{TAB}", "@" -> "{@}". LF passes unchanged.
void EncodeKeystrokes(std::string& sendText);

// For console windows: puts `sendText` (the expanded text) on the clipboard and replaces
// it with the platform's paste keystrokes. False when the clipboard refused the text
// (`sendText` is replaced all the same, as the paste then simply pastes something else).
bool PasteIntoConsole(
    std::string& sendText, platform::Clipboard& clipboard, const platform::KeyboardOutput& keyboard);

} // namespace kx::transmit
