#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text helpers shared by every layer. Strings are UTF-8 throughout the program; character
// positions count code points, not bytes.
namespace kx::text {

// Decodes UTF-8; each invalid byte becomes U+FFFD.
std::u32string toUtf32(std::string_view utf8);
std::string toUtf8(std::u32string_view text);
std::string toUtf8(char32_t c);
bool isValidUtf8(std::string_view bytes);
// The position of the first byte from `pos` on that is not ASCII; bytes.size() when none.
std::size_t skipAscii(std::string_view bytes, std::size_t pos = 0);

// Full Unicode simple case mapping, one code point at a time.
char32_t upperCase(char32_t c);
char32_t lowerCase(char32_t c);
std::string upperCase(std::string_view utf8);
std::string lowerCase(std::string_view utf8);

// Removes spaces (only spaces, as the program's Trim does) at both ends.
std::string trimSpaces(std::string_view text);

// Order of a sorted list box: without regard to case, letters with diacritics beside
// their base letters ("Äpfel" between "Apfel" and "Apfelmus"), ß as "ss"; ties keep a
// stable, deterministic order. Negative, zero or positive like strcmp.
int compareForSortedList(std::string_view a, std::string_view b);

// The positions of `texts` in the order of compareForSortedList, equal texts in their given
// order. Each text is decoded once, not on every one of the n log n comparisons of a sort.
std::vector<std::size_t> sortedListOrder(const std::vector<std::string_view>& texts);

// The text reduced to what the first level of that order compares: lower case, letters
// without their diacritics ("Ä", "á" -> "a"), ß as "ss", æ and œ as "ae" and "oe",
// hyphens and apostrophes dropped. Two texts are equal at that level exactly when their
// folds are; a fold contained in another is a match for a search "like the sorting".
std::string foldForSortedList(std::string_view utf8);

// Windows-1252, with the five unassigned bytes mapped to U+0081, U+008D, U+008F, U+0090
// and U+009D so every byte survives a round trip.
std::string decodeWindows1252(std::string_view bytes);
// Nothing when a character has no Windows-1252 code.
std::optional<std::string> encodeWindows1252(std::string_view utf8);
// The Windows-1252 code of one character, or -1.
int windows1252Code(char32_t c);

// Decodes file contents by the configuration file's rule: UTF-8 when they start with a
// UTF-8 byte order mark (which is dropped) or are valid UTF-8 holding non-ASCII bytes,
// Windows-1252 otherwise.
std::string decodeFileText(std::string_view bytes);

} // namespace kx::text
