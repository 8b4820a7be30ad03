#include "transmit/KeystrokeEncoding.h"

#include <cstring>

namespace kx::transmit {

namespace {

bool isSpecial(char c) { return c != '\0' && std::strchr(keystrokeSpecialChars, c) != nullptr; }

} // namespace

std::string encodeKeystrokes(std::string_view sendText)
{
    // One pass gives the same result as escaping first and then replacing CR, TAB and "@":
    // none of those replacements meets a character that an earlier one produced.
    std::string result;
    result.reserve(sendText.size() + sendText.size() / 4);
    for (const char c : sendText) {
        if (isSpecial(c)) {
            result += '{';
            result += c;
            result += '}';
        } else if (c == '\r') {
            result += '~';
        } else if (c == '\t') {
            result += "{TAB}";
        } else if (c == '@') {
            result += "{@}";
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace kx::transmit
