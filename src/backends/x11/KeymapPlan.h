#pragma once

#include "platform/KeyStroke.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kx::platform::x11 {

using KeySymValue = std::uint32_t; // an X keysym
using KeyCodeValue = std::uint8_t; // an X keycode (8..255)

// The keyboard mapping as the planner needs it, read from the server once per sequence.
// Modifier masks are X's real modifier masks (ShiftMask, ControlMask, Mod1Mask ... Mod5Mask).
struct KeymapSnapshot
{
    struct Level
    {
        KeySymValue keysym = 0;
        unsigned modifiers = 0; // the fewest modifiers that select this level
        bool reachable = true; // false when only modifiers the planner may not use select it
    };
    struct Key
    {
        KeyCodeValue code = 0;
        std::vector<std::vector<Level>> groups; // [group][level]
    };

    std::vector<Key> keys;
    std::vector<KeyCodeValue> spareKeycodes; // keycodes without any symbol, free to borrow
    unsigned group = 0; // the keyboard's current group
    unsigned pressableModifiers = 0; // modifiers that have a key to press
};

// One key press and release with the modifiers held around it.
struct PlannedKey
{
    KeyCodeValue code = 0;
    unsigned modifiers = 0;
    std::size_t stroke = 0; // the position in the sequence of the stroke it types
    friend bool operator==(const PlannedKey&, const PlannedKey&) = default;
};

// Keys to type while the spare keycodes carry `bindings` (keycode, keysym). A plan has
// several rounds only when the sequence needs more missing symbols than there are spare
// keycodes.
struct PlanRound
{
    std::vector<std::pair<KeyCodeValue, KeySymValue>> bindings;
    std::vector<PlannedKey> keys;
};

struct KeyPlan
{
    std::vector<PlanRound> rounds;
    std::string error; // characters that could not be typed at all, for debug output
};

// Resolves the whole sequence against the keymap before anything is typed. A character is
// typed with the key and level that produce it in the current group with the fewest
// modifiers (Shift, AltGr/level 3 and the like; never Ctrl, Alt, Lock or Num Lock, never a
// dead key or a keypad key); characters and named keys the keymap lacks are given spare
// keycodes. CR and TAB characters type Enter and Tab; an LF types Enter unless it follows
// an Enter (a CR LF pair is one line break); other control characters type nothing.
KeyPlan planKeystrokes(const KeymapSnapshot& keymap, const KeyStrokes& strokes);

// The keysym that stands for a character: Latin-1 codes as they are, the rest in X's
// Unicode keysym range (0x1000000 + code point).
KeySymValue keysymForCharacter(char32_t character);
// The character a keysym types, 0 for none (function, keypad, dead and modifier keys).
// Legacy keysyms outside Latin-1 that the layouts in use carry (the euro sign) included.
char32_t characterOfKeysym(KeySymValue keysym);
KeySymValue keysymForNamedKey(NamedKey key);

} // namespace kx::platform::x11
