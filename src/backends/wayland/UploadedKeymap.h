#pragma once

#include "platform/KeyStroke.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kx::platform::wayland {

// XKB keycodes (evdev code + 8). X11 programs under Xwayland take keycodes up to 255 only.
using KeyCode = std::uint32_t;
constexpr KeyCode shiftKey = 50, controlKey = 37, altKey = 64;

// One stroke as the virtual keyboard types it: the key, with the modifiers of the keystroke
// string held around it (platform::Modifier bits).
struct VirtualKey
{
    KeyCode code = 0;
    char32_t character = 0; // the character it types, 0 for a named key
    std::uint8_t modifiers = 0;
    std::size_t stroke = 0; // its position in the sequence
    friend bool operator==(const VirtualKey&, const VirtualKey&) = default;
};

// The keys typed while one keymap is in force.
struct KeymapRound
{
    std::vector<char32_t> characters; // the characters its keymap carries, in keycode order
    std::vector<VirtualKey> keys;
};

struct VirtualKeyPlan
{
    std::vector<KeymapRound> rounds;
    std::string error; // characters that could not be typed at all, for debug output
};

// The keymap the program uploads to its virtual keyboard: the named keys of the keystroke
// syntax and the modifiers on their usual (evdev) keycodes, and every character of a round
// on a keycode of its own, with its keysym at level 1 (a letter's capital at level 2, for a
// Shift the keystroke string asks for). No character needs a modifier, and the user's own
// layout is never touched: the compositor switches the seat to this keymap while our keys
// come, and back when the user types.
//
// Resolves a sequence the way the X11 backend does: CR and TAB characters type Enter and
// Tab; an LF types Enter unless it follows an Enter; other control characters type nothing.
// A round holds as many distinct characters as there are free keycodes up to 255; more
// characters make more rounds.
VirtualKeyPlan planVirtualKeys(const KeyStrokes& strokes);

// How many keycodes a keymap has for characters, and the keycode of the one at `position`.
std::size_t characterKeyCount();
KeyCode characterKeyCode(std::size_t position);

// The XKB keymap text with `characters` on the character keycodes in order (0: a keycode
// without a symbol).
std::string keymapText(const std::vector<char32_t>& characters);

} // namespace kx::platform::wayland
