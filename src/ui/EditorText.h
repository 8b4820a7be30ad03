#pragma once

#include <string>
#include <string_view>

// The conversions between an entry's text and the editor's text form, in which Enter and
// Tab are the symbol characters "Ã" and "ð", each followed by CR LF in the editor.
namespace kx::ui {

inline constexpr char32_t enterSymbol = U'\u00C3'; // "Ã"
inline constexpr char32_t tabSymbol = U'\u00F0'; // "ð"

// Unescaped text (CR = Enter, TAB = Tab) to the editor form without formatting.
std::string plainTextToEditor(std::string_view plain);
// The editor's whole text (symbols followed by CR LF) back to unescaped text: CR LF pairs
// vanish, the symbols become CR and TAB again.
std::string editorTextToPlain(std::string_view editorText);

// The same with the stored-text escapes applied, as the configuration file holds them.
std::string storedTextToEditor(std::string_view stored);
std::string editorTextToStored(std::string_view editorText);

} // namespace kx::ui
