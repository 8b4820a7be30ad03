#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kx::transmit {

class Clock;

// Where the placeholders that depend on the moment of the send get their values.
struct PlaceholderInputs
{
    // The clipboard's current text, empty when it holds none. Read at most once per text.
    // None: "%zwischenablage%" becomes nothing.
    std::function<std::string()> clipboardText;
    // Asks the user `question` and returns the answer, nothing when cancelled. None: every
    // "%eingabe=...%" stays in the text as written.
    std::function<std::optional<std::string>(const std::string& question)> ask;
};

// A text with its placeholders expanded, and where the caret has to go afterwards.
struct ExpandedText
{
    std::string text;
    // The characters (code points, CR LF as one) after the first "%cursor%", that is how
    // often Left must be typed after the text; 0 when there is none.
    std::size_t charactersAfterCursor = 0;
};

// The text about to be sent (UTF-8) with its placeholders expanded:
// 1. every "%datei=NAME%" of the text (the word in any case, NAME exactly as written) is
//    replaced by the contents of the regular file NAME with every LF removed, or by
//    "\r*** [Kalmotex]: Konnte Datei 'NAME' nicht finden! ***\r" when there is none.
//    Identical placeholders are read once. "%datei=" inside inserted contents stays as it
//    is; a "%datei=" without a closing "%" stays in the text.
// 2. every distinct QUESTION of "%eingabe=QUESTION%" (exactly as written, also inside
//    inserted contents) is asked once, in the order they first appear, before the
//    clipboard is read; a cancelled question cancels the whole text (nothing comes back).
// 3. left to right, in any case: "%cursor%" (removed; the first one marks the caret),
//    "%zwischenablage%" (the clipboard's text), "%eingabe=QUESTION%" (the answer),
//    "%datum+N%" and "%datum-N%" (N of 1 to 5 digits: the date N days later or earlier, in
//    the format of "%datum%"). The values are inserted as they are; no placeholder inside
//    them is expanded.
// 4. in the rest of the text: "%zeit%", "%stunde%", "%minute%", "%sekunde%", "%datum%",
//    "%tag%", "%wochentag%", "%monat%", "%jahr%" (in any case, also inside inserted file
//    contents), in this order, each with a fresh reading of the clock, in the LC_TIME
//    locale's formats.
// Anything else between "%" signs stays as it is. A text without "%" comes back exactly as
// it is.
std::optional<ExpandedText> expandPlaceholders(
    const std::string& sendText, const Clock& clock, const PlaceholderInputs& inputs);

// The same without clipboard and questions: the text alone, "%cursor%" removed.
std::string expandPlaceholders(std::string sendText, const Clock& clock);

// True when `fileName` names a regular file (following symbolic links).
bool isPlainFile(const std::string& fileName);

} // namespace kx::transmit
