#pragma once

#include <string>

namespace kx::store {

// Plain text to the stored form of an entry text: backslash, tab, line feed, carriage
// return and double quote become "\\", "\T", "\L", "\N" and "\H".
std::string escapeText(const std::string& text);

// Stored form to plain text. The escape letters count in either case; a backslash before
// any other character is dropped and the character kept; a final lone backslash is dropped.
std::string unescapeText(const std::string& text);

} // namespace kx::store
