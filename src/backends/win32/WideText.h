#pragma once

#include <string>
#include <string_view>

namespace kx::platform::win32 {

// The program keeps UTF-8; the wide Windows functions take UTF-16. Invalid input is
// converted with U+FFFD in place of the bad bytes or lone surrogates, never refused.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

// The system's text for an error code (GetLastError, LSTATUS), in UTF-8, without the
// trailing line break: "Access is denied. (5)".
std::string systemErrorText(unsigned long code);

} // namespace kx::platform::win32
