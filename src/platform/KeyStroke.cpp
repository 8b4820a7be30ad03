#include "platform/KeyStroke.h"

#include "text/Text.h"

#include <array>

namespace kx::platform {

namespace {

constexpr std::array<const char*, 42> keyNames = {
    "",
    "Enter",
    "Tab",
    "Backspace",
    "Break",
    "CapsLock",
    "Clear",
    "Delete",
    "Down",
    "End",
    "Esc",
    "Help",
    "Home",
    "Insert",
    "Left",
    "NumLock",
    "PageDown",
    "PageUp",
    "PrtSc",
    "Right",
    "ScrollLock",
    "Up",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "F13",
    "F14",
    "F15",
    "F16",
    "Add",
    "Subtract",
    "Multiply",
    "Divide",
};

std::string keyName(const KeyStroke& stroke)
{
    if (stroke.key != NamedKey::Character)
        return keyNames[static_cast<std::size_t>(stroke.key)];
    switch (stroke.character) {
    case U' ':
        return "Space";
    case U'<':
        return "<";
    default:
        return text::toUtf8(stroke.character);
    }
}

} // namespace

std::string describeKeyStrokes(const KeyStrokes& strokes)
{
    std::string out;
    for (const KeyStroke& stroke : strokes) {
        const bool plainCharacter
            = stroke.key == NamedKey::Character && stroke.modifiers == NoModifier && stroke.character != U'<';
        if (plainCharacter) {
            out += text::toUtf8(stroke.character);
            continue;
        }
        out += '<';
        if (stroke.modifiers & Ctrl)
            out += "Ctrl+";
        if (stroke.modifiers & Alt)
            out += "Alt+";
        if (stroke.modifiers & Shift)
            out += "Shift+";
        out += keyName(stroke);
        out += '>';
    }
    return out;
}

} // namespace kx::platform
