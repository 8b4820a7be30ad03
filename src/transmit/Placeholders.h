#pragma once

#include <string>

namespace kx::transmit {

class Clock;

// Expands the placeholders of a text about to be sent, in place (UTF-8):
// 1. every "%datei=NAME%" of the text (the word in any case, NAME exactly as written) is
//    replaced by the contents of the regular file NAME with every LF removed, or by
//    "\r*** [Kalmotex]: Konnte Datei 'NAME' nicht finden! ***\r" when there is none.
//    Identical placeholders are read once. "%datei=" inside inserted contents stays as it
//    is; a "%datei=" without a closing "%" stays in the text.
// 2. "%zeit%", "%stunde%", "%minute%", "%sekunde%", "%datum%", "%tag%", "%wochentag%",
//    "%monat%", "%jahr%" (in any case, also inside inserted contents), in this order, each
//    with a fresh reading of the clock, in the LC_TIME locale's formats.
// A text without "%" is left exactly as it is.
void ExpandPlaceholders(std::string& sendText, const Clock& clock);

// The whole regular file `fileName` (UTF-8 name, relative to the current folder), decoded
// like the configuration file. Empty for a missing file, a folder, a FIFO or a device;
// also empty, with `errorNumber` set to the system's error number, when it cannot be read.
std::string ReadTextFile(const std::string& fileName, int& errorNumber);

// True when `fileName` names a regular file (following symbolic links).
bool isPlainFile(const std::string& fileName);

} // namespace kx::transmit
