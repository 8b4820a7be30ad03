#pragma once

#include <string>

namespace kx::transmit {

class Clock;

// The text about to be sent (UTF-8) with its placeholders expanded:
// 1. every "%datei=NAME%" of the text (the word in any case, NAME exactly as written) is
//    replaced by the contents of the regular file NAME with every LF removed, or by
//    "\r*** [Kalmotex]: Konnte Datei 'NAME' nicht finden! ***\r" when there is none.
//    Identical placeholders are read once. "%datei=" inside inserted contents stays as it
//    is; a "%datei=" without a closing "%" stays in the text.
// 2. "%zeit%", "%stunde%", "%minute%", "%sekunde%", "%datum%", "%tag%", "%wochentag%",
//    "%monat%", "%jahr%" (in any case, also inside inserted contents), in this order, each
//    with a fresh reading of the clock, in the LC_TIME locale's formats.
// A text without "%" comes back exactly as it is.
std::string expandPlaceholders(std::string sendText, const Clock& clock);

// True when `fileName` names a regular file (following symbolic links).
bool isPlainFile(const std::string& fileName);

} // namespace kx::transmit
