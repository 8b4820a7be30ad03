#include "transmit/KeystrokeParser.h"

#include "text/Text.h"

#include <array>
#include <optional>

namespace kx::transmit {

namespace {

using platform::KeyStroke;
using platform::NamedKey;

constexpr int maxGroupDepth = 16;
constexpr unsigned maxRepeat = 10000;
constexpr std::size_t maxStrokes = 1000000;

struct KeyName
{
    std::u32string_view name;
    NamedKey key;
};

constexpr std::array<KeyName, 49> keyNames = { {
    { U"BACKSPACE", NamedKey::Backspace },
    { U"BS", NamedKey::Backspace },
    { U"BKSP", NamedKey::Backspace },
    { U"BREAK", NamedKey::Break },
    { U"CAPSLOCK", NamedKey::CapsLock },
    { U"CLEAR", NamedKey::Clear },
    { U"DELETE", NamedKey::Delete },
    { U"DEL", NamedKey::Delete },
    { U"DOWN", NamedKey::Down },
    { U"END", NamedKey::End },
    { U"ENTER", NamedKey::Enter },
    { U"ESC", NamedKey::Escape },
    { U"ESCAPE", NamedKey::Escape },
    { U"HELP", NamedKey::Help },
    { U"HOME", NamedKey::Home },
    { U"INSERT", NamedKey::Insert },
    { U"INS", NamedKey::Insert },
    { U"LEFT", NamedKey::Left },
    { U"NUMLOCK", NamedKey::NumLock },
    { U"PGDN", NamedKey::PageDown },
    { U"PGUP", NamedKey::PageUp },
    { U"PRTSC", NamedKey::PrintScreen },
    { U"RIGHT", NamedKey::Right },
    { U"SCROLLLOCK", NamedKey::ScrollLock },
    { U"TAB", NamedKey::Tab },
    { U"UP", NamedKey::Up },
    { U"F1", NamedKey::F1 },
    { U"F2", NamedKey::F2 },
    { U"F3", NamedKey::F3 },
    { U"F4", NamedKey::F4 },
    { U"F5", NamedKey::F5 },
    { U"F6", NamedKey::F6 },
    { U"F7", NamedKey::F7 },
    { U"F8", NamedKey::F8 },
    { U"F9", NamedKey::F9 },
    { U"F10", NamedKey::F10 },
    { U"F11", NamedKey::F11 },
    { U"F12", NamedKey::F12 },
    { U"F13", NamedKey::F13 },
    { U"F14", NamedKey::F14 },
    { U"F15", NamedKey::F15 },
    { U"F16", NamedKey::F16 },
    { U"ADD", NamedKey::Add },
    { U"SUBTRACT", NamedKey::Subtract },
    { U"MULTIPLY", NamedKey::Multiply },
    { U"DIVIDE", NamedKey::Divide },
    // Spellings some keystroke dialects use for the same keys.
    { U"PGDOWN", NamedKey::PageDown },
    { U"PRINTSCREEN", NamedKey::PrintScreen },
    { U"RETURN", NamedKey::Enter },
} };

std::optional<NamedKey> namedKey(std::u32string_view name)
{
    std::u32string upper(name);
    for (char32_t& c : upper) {
        if (c >= U'a' && c <= U'z')
            c -= U'a' - U'A';
    }
    for (const KeyName& entry : keyNames) {
        if (entry.name == upper)
            return entry.key;
    }
    return std::nullopt;
}

std::uint8_t modifierBit(char32_t c)
{
    switch (c) {
    case U'+':
        return platform::Shift;
    case U'^':
        return platform::Ctrl;
    case U'%':
        return platform::Alt;
    default:
        return platform::NoModifier;
    }
}

class Parser
{
public:
    explicit Parser(std::u32string_view text)
        : m_text(text)
    {
    }

    KeystrokeParse run()
    {
        KeystrokeParse result;
        if (sequence(0, platform::NoModifier)) {
            result.strokes = std::move(m_strokes);
        } else {
            result.error = m_error;
            result.errorPosition = m_errorPosition + 1;
        }
        return result;
    }

private:
    bool fail(std::size_t position, const char* message)
    {
        m_error = message;
        m_errorPosition = position;
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    // Keys up to the end, or, inside a group, up to and including its ")".
    bool sequence(int depth, std::uint8_t held)
    {
        const std::size_t groupStart = m_pos == 0 ? 0 : m_pos - 1;
        while (!atEnd()) {
            if (m_text[m_pos] == U')') {
                if (depth == 0)
                    return fail(m_pos, "')' without '('");
                ++m_pos;
                return true;
            }
            if (!item(depth, held))
                return false;
        }
        if (depth > 0)
            return fail(groupStart, "'(' without ')'");
        return true;
    }

    // One key or group with the modifiers written before it.
    bool item(int depth, std::uint8_t held)
    {
        std::uint8_t modifiers = held;
        while (!atEnd()) {
            const std::uint8_t bit = modifierBit(m_text[m_pos]);
            if (bit == platform::NoModifier)
                break;
            if (modifiers & bit)
                return fail(m_pos, "modifier given twice for one key");
            modifiers |= bit;
            ++m_pos;
        }
        if (atEnd() || m_text[m_pos] == U')')
            return fail(m_pos == 0 ? 0 : m_pos - 1, "modifier without a key");
        const char32_t c = m_text[m_pos];
        if (c == U'(') {
            if (depth + 1 > maxGroupDepth)
                return fail(m_pos, "groups nested too deeply");
            ++m_pos;
            return sequence(depth + 1, modifiers);
        }
        if (c == U'{')
            return braces(modifiers);
        if (c == U'}')
            return fail(m_pos, "'}' outside braces");
        ++m_pos;
        if (c == U'~')
            return emit({ NamedKey::Enter, 0, modifiers }, 1);
        return emit({ NamedKey::Character, c, modifiers }, 1);
    }

    // "{name}" or "{name count}"; the first character after "{" may itself be "}".
    bool braces(std::uint8_t modifiers)
    {
        const std::size_t open = m_pos;
        const std::size_t close = open + 2 <= m_text.size() ? m_text.find(U'}', open + 2) : m_text.npos;
        if (close == m_text.npos)
            return fail(open, "'{' without '}'");
        std::u32string_view content = m_text.substr(open + 1, close - open - 1);
        unsigned count = 1;
        const std::size_t space = content.find(U' ', 1);
        if (space != content.npos) {
            const std::u32string_view digits = content.substr(space + 1);
            if (digits.empty() || digits.size() > 5)
                return fail(open + 2 + space, "count is not a number up to 10000");
            count = 0;
            for (const char32_t d : digits) {
                if (d < U'0' || d > U'9')
                    return fail(open + 2 + space, "count is not a number up to 10000");
                count = count * 10 + static_cast<unsigned>(d - U'0');
            }
            if (count > maxRepeat)
                return fail(open + 2 + space, "count is not a number up to 10000");
            content = content.substr(0, space);
        }
        KeyStroke stroke { NamedKey::Character, 0, modifiers };
        if (content.size() == 1) {
            stroke.character = content[0];
        } else if (const auto key = namedKey(content)) {
            stroke.key = *key;
        } else {
            return fail(open + 1, "unknown key name");
        }
        m_pos = close + 1;
        return emit(stroke, count);
    }

    bool emit(const KeyStroke& stroke, unsigned count)
    {
        if (m_strokes.size() + count > maxStrokes)
            return fail(m_pos - 1, "too many keys");
        m_strokes.insert(m_strokes.end(), count, stroke);
        return true;
    }

    std::u32string_view m_text;
    std::size_t m_pos = 0;
    platform::KeyStrokes m_strokes;
    std::string m_error;
    std::size_t m_errorPosition = 0;
};

} // namespace

KeystrokeParse parseKeystrokes(std::string_view keys)
{
    const std::u32string text = text::toUtf32(keys);
    return Parser(text).run();
}

} // namespace kx::transmit
