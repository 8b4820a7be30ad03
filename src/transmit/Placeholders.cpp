#include "transmit/Placeholders.h"

#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/TypedCharacters.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

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

std::u32string expandTimes(std::u32string text, const Clock& clock)
{
    for (const TimePlaceholder& placeholder : timePlaceholders) {
        const std::string value = formatLocalTime(placeholder.format, clock.now());
        text = replaceAllNoCase(text, placeholder.word, text::toUtf32(value));
    }
    return text;
}

constexpr std::u32string_view cursorWord = U"%CURSOR%";
constexpr std::u32string_view clipboardWord = U"%ZWISCHENABLAGE%";
constexpr std::u32string_view questionWord = U"%EINGABE=";
constexpr std::u32string_view shiftedDateWord = U"%DATUM";
constexpr std::size_t maxDayDigits = 5;

enum class PlaceholderKind
{
    Cursor,
    Clipboard,
    Question,
    ShiftedDate,
};

// One placeholder of the text: [begin, end) in code points.
struct Placeholder
{
    std::size_t begin = 0;
    std::size_t end = 0;
    PlaceholderKind kind = PlaceholderKind::Cursor;
    std::u32string question;
    int days = 0;
};

// "%DATUM+N%" or "%DATUM-N%" at the start of `rest` (upper case), N of 1 to 5 digits.
std::optional<Placeholder> shiftedDateAt(std::u32string_view rest, std::size_t pos)
{
    std::size_t i = shiftedDateWord.size();
    if (i >= rest.size() || (rest[i] != U'+' && rest[i] != U'-'))
        return std::nullopt;
    const bool earlier = rest[i++] == U'-';
    const std::size_t digitsStart = i;
    int days = 0;
    while (i < rest.size() && i - digitsStart < maxDayDigits && rest[i] >= U'0' && rest[i] <= U'9')
        days = days * 10 + static_cast<int>(rest[i++] - U'0');
    if (i == digitsStart || i >= rest.size() || rest[i] != U'%')
        return std::nullopt;
    return Placeholder { pos, pos + i + 1, PlaceholderKind::ShiftedDate, {}, earlier ? -days : days };
}

// The placeholder starting at the "%" at `pos`, if one does. `haystack` is `text` in upper
// case.
std::optional<Placeholder> placeholderAt(
    const std::u32string& text, std::u32string_view haystack, std::size_t pos)
{
    const std::u32string_view rest = haystack.substr(pos);
    if (rest.starts_with(cursorWord))
        return Placeholder { pos, pos + cursorWord.size(), PlaceholderKind::Cursor, {} };
    if (rest.starts_with(clipboardWord))
        return Placeholder { pos, pos + clipboardWord.size(), PlaceholderKind::Clipboard, {} };
    if (rest.starts_with(questionWord)) {
        const std::size_t start = pos + questionWord.size();
        const std::size_t close = text.find(U'%', start);
        if (close == std::u32string::npos || close == start)
            return std::nullopt;
        return Placeholder { pos, close + 1, PlaceholderKind::Question, text.substr(start, close - start) };
    }
    if (rest.starts_with(shiftedDateWord))
        return shiftedDateAt(rest, pos);
    return std::nullopt;
}

// The placeholders of the text other than files and the plain date and time, left to right.
std::vector<Placeholder> findPlaceholders(const std::u32string& text)
{
    const std::u32string haystack = upper(text);
    std::vector<Placeholder> found;
    std::size_t pos = haystack.find(U'%');
    while (pos != std::u32string::npos) {
        std::size_t next = pos + 1;
        if (const std::optional<Placeholder> placeholder = placeholderAt(text, haystack, pos)) {
            found.push_back(*placeholder);
            next = placeholder->end;
        } else {
            // The closing "%" of a time placeholder opens nothing ("%jahr%cursor%").
            for (const TimePlaceholder& time : timePlaceholders)
                if (std::u32string_view(haystack).substr(pos).starts_with(time.word))
                    next = pos + time.word.size();
        }
        pos = haystack.find(U'%', next);
    }
    return found;
}

// Each distinct question once, in the order of first appearance; nothing when one is
// cancelled.
std::optional<std::map<std::u32string, std::u32string>> askQuestions(
    const std::vector<Placeholder>& placeholders, const PlaceholderInputs& inputs)
{
    std::map<std::u32string, std::u32string> answers;
    if (!inputs.ask)
        return answers;
    for (const Placeholder& placeholder : placeholders) {
        if (placeholder.kind != PlaceholderKind::Question || answers.contains(placeholder.question))
            continue;
        const std::optional<std::string> answer = inputs.ask(text::toUtf8(placeholder.question));
        if (!answer)
            return std::nullopt;
        answers.emplace(placeholder.question, text::toUtf32(*answer));
    }
    return answers;
}

} // namespace

bool isPlainFile(const std::string& fileName)
{
    std::error_code error;
    return std::filesystem::is_regular_file(pathFromUtf8(fileName), error);
}

std::optional<ExpandedText> expandPlaceholders(
    const std::string& sendText, const Clock& clock, const PlaceholderInputs& inputs)
{
    if (sendText.find('%') == std::string::npos)
        return ExpandedText { sendText };
    const std::u32string text = expandFiles(text::toUtf32(sendText));
    const std::vector<Placeholder> placeholders = findPlaceholders(text);
    const auto answers = askQuestions(placeholders, inputs);
    if (!answers)
        return std::nullopt;

    std::u32string result;
    std::optional<std::size_t> cursor;
    std::optional<std::u32string> clipboard;
    std::size_t pos = 0;
    for (const Placeholder& placeholder : placeholders) {
        result += expandTimes(text.substr(pos, placeholder.begin - pos), clock);
        pos = placeholder.end;
        switch (placeholder.kind) {
        case PlaceholderKind::Cursor:
            if (!cursor)
                cursor = result.size();
            break;
        case PlaceholderKind::Clipboard:
            if (!clipboard)
                clipboard = text::toUtf32(inputs.clipboardText ? inputs.clipboardText() : std::string());
            result += *clipboard;
            break;
        case PlaceholderKind::Question:
            if (const auto answer = answers->find(placeholder.question); answer != answers->end())
                result += answer->second;
            else
                result.append(text, placeholder.begin, placeholder.end - placeholder.begin);
            break;
        case PlaceholderKind::ShiftedDate:
            result += text::toUtf32(formatLocalTime("%x", addDays(clock.now(), placeholder.days)));
            break;
        }
    }
    result += expandTimes(text.substr(pos), clock);

    ExpandedText expanded { text::toUtf8(result) };
    if (cursor)
        expanded.charactersAfterCursor = visibleCharacterCount(text::toUtf8(result.substr(*cursor)));
    return expanded;
}

std::string expandPlaceholders(std::string sendText, const Clock& clock)
{
    if (sendText.find('%') == std::string::npos)
        return sendText;
    // Without a way to ask, no question can be cancelled.
    return expandPlaceholders(sendText, clock, PlaceholderInputs {})->text;
}

} // namespace kx::transmit
