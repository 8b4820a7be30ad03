#pragma once

#include <string>
#include <string_view>

// The conversions between an entry's text and the editor's text form, in which Enter and
// Tab are the symbol characters "Ã" and "ð", each followed by CR LF in the editor.
namespace kx::ui {

inline constexpr char32_t enterSymbol = U'\u00C3'; // "Ã"
inline constexpr char32_t tabSymbol = U'\u00F0'; // "ð"

// Replaces every occurrence of `find` (never empty) left to right; the inserted text is
// not searched again. With `ignoreCase`, letters compare by their upper case.
void ReplaceAll(
    std::u32string& text, std::u32string_view find, std::u32string_view replacement, bool ignoreCase);
void ReplaceAll(std::string& text, std::string_view find, std::string_view replacement, bool ignoreCase);

// Unescaped text (CR = Enter, TAB = Tab) to the editor form without formatting.
std::string plainTextToEditor(std::string_view plain);
// The editor's whole text (symbols followed by CR LF) back to unescaped text: CR LF pairs
// vanish, the symbols become CR and TAB again.
std::string editorTextToPlain(std::string_view editorText);

// The same with the stored-text escapes applied, as the configuration file holds them.
std::string StoredTextToEditor(std::string_view stored);
std::string EditorTextToStored(std::string_view editorText);

} // namespace kx::ui
