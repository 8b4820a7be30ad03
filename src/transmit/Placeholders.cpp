#include "transmit/Placeholders.h"

#include "text/Text.h"
#include "transmit/Clock.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>

namespace kx::transmit {

namespace {

std::filesystem::path pathFromUtf8(const std::string& name)
{
    // Through char8_t so that a Windows build does not read the name in the ANSI code page.
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::u32string upper(std::u32string_view text)
{
    std::u32string result(text);
    for (char32_t& c : result)
        c = text::upperCase(c);
    return result;
}

// Every occurrence of `word` (given in upper case) replaced, compared without regard to
// case, left to right; replaced text is not searched again.
std::u32string replaceAllNoCase(
    const std::u32string& text, std::u32string_view word, std::u32string_view value)
{
    const std::u32string haystack = upper(text);
    std::size_t found = haystack.find(word);
    if (found == std::u32string::npos)
        return text;
    std::u32string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (found != std::u32string::npos) {
        result.append(text, pos, found - pos);
        result.append(value);
        pos = found + word.size();
        found = haystack.find(word, pos);
    }
    result.append(text, pos, std::u32string::npos);
    return result;
}

// The whole file decoded like the configuration file; empty when it cannot be read.
std::string readTextFile(const std::string& fileName)
{
    std::ifstream file(pathFromUtf8(fileName), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return file.bad() ? std::string() : text::decodeFileText(bytes);
}

std::u32string fileReplacement(const std::string& name)
{
    if (!isPlainFile(name))
        return text::toUtf32("\r*** [Kalmotex]: Konnte Datei '" + name + "' nicht finden! ***\r");
    std::string contents = readTextFile(name);
    std::erase(contents, '\n');
    return text::toUtf32(contents);
}

std::u32string expandFiles(const std::u32string& text)
{
    static constexpr std::u32string_view word = U"%DATEI=";
    const std::u32string haystack = upper(text);
    std::size_t found = haystack.find(word);
    if (found == std::u32string::npos)
        return text;
    std::map<std::u32string, std::u32string> contentsByName;
    std::u32string result;
    std::size_t pos = 0;
    while (found != std::u32string::npos) {
        const std::size_t nameStart = found + word.size();
        const std::size_t close = text.find(U'%', nameStart);
        if (close == std::u32string::npos)
            break;
        const std::u32string name = text.substr(nameStart, close - nameStart);
        auto known = contentsByName.find(name);
        if (known == contentsByName.end())
            known = contentsByName.emplace(name, fileReplacement(text::toUtf8(name))).first;
        result.append(text, pos, found - pos);
        result.append(known->second);
        pos = close + 1;
        found = haystack.find(word, pos);
    }
    result.append(text, pos, std::u32string::npos);
    return result;
}

struct TimePlaceholder
{
    std::u32string_view word; // upper case
    const char* format;
};

constexpr std::array<TimePlaceholder, 9> timePlaceholders = { {
    { U"%ZEIT%", "%X" },
    { U"%STUNDE%", "%H" },
    { U"%MINUTE%", "%M" },
    { U"%SEKUNDE%", "%S" },
    { U"%DATUM%", "%x" },
    { U"%TAG%", "%d" },
    { U"%WOCHENTAG%", "%A" },
    { U"%MONAT%", "%m" },
    { U"%JAHR%", "%Y" },
} };

} // namespace

bool isPlainFile(const std::string& fileName)
{
    std::error_code error;
    return std::filesystem::is_regular_file(pathFromUtf8(fileName), error);
}

std::string expandPlaceholders(std::string sendText, const Clock& clock)
{
    if (sendText.find('%') == std::string::npos)
        return sendText;
    std::u32string text = expandFiles(text::toUtf32(sendText));
    for (const TimePlaceholder& placeholder : timePlaceholders) {
        const std::string value = formatLocalTime(placeholder.format, clock.now());
        text = replaceAllNoCase(text, placeholder.word, text::toUtf32(value));
    }
    return text::toUtf8(text);
}

} // namespace kx::transmit
