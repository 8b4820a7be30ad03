#include "store/Escaping.h"

namespace kx::store {

// Every character of the table is ASCII, and UTF-8 never uses ASCII bytes inside a
// multi-byte character, so walking bytes is walking characters here.

std::string escapeText(const std::string& text)
{
    std::string stored;
    stored.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
        case '\\':
            stored += "\\\\";
            break;
        case '\t':
            stored += "\\T";
            break;
        case '\n':
            stored += "\\L";
            break;
        case '\r':
            stored += "\\N";
            break;
        case '"':
            stored += "\\H";
            break;
        default:
            stored += c;
        }
    }
    return stored;
}

std::string unescapeText(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    bool pending = false;
    for (char c : text) {
        if (!pending) {
            if (c == '\\')
                pending = true;
            else
                plain += c;
            continue;
        }
        pending = false;
        switch (c) {
        case 'T':
        case 't':
            plain += '\t';
            break;
        case 'N':
        case 'n':
            plain += '\r';
            break;
        case 'L':
        case 'l':
            plain += '\n';
            break;
        case 'H':
        case 'h':
            plain += '"';
            break;
        default:
            plain += c;
        }
    }
    return plain;
}

} // namespace kx::store
