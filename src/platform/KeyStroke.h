#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx::platform {

// Keys that have a name in the keystroke syntax. `Character` means "the key that types
// KeyStroke::character".
enum class NamedKey : std::uint8_t
{
    Character,
    Enter,
    Tab,
    Backspace,
    Break,
    CapsLock,
    Clear,
    Delete,
    Down,
    End,
    Escape,
    Help,
    Home,
    Insert,
    Left,
    NumLock,
    PageDown,
    PageUp,
    PrintScreen,
    Right,
    ScrollLock,
    Up,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    F13,
    F14,
    F15,
    F16,
    Add,
    Subtract,
    Multiply,
    Divide,
};

// Modifiers held while one key is pressed (a bit set).
enum Modifier : std::uint8_t
{
    NoModifier = 0,
    Shift = 1,
    Ctrl = 2,
    Alt = 4,
};

// One key press and release, with the modifiers held around it. For characters the
// backend decides which physical key (and which level of it) produces the character;
// `modifiers` are only the ones the keystroke string asked for ("+", "^", "%").
struct KeyStroke
{
    NamedKey key = NamedKey::Character;
    char32_t character = 0;
    std::uint8_t modifiers = NoModifier;

    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

using KeyStrokes = std::vector<KeyStroke>;

// Readable form of a sequence, as the fake keyboard records it: characters as UTF-8,
// everything else in angle brackets, for example "A<Enter>B<Tab>C" or "<Alt+Space>BE".
std::string describeKeyStrokes(const KeyStrokes& strokes);

} // namespace kx::platform
