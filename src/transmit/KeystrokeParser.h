#pragma once

#include "platform/KeyStroke.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kx::transmit {

struct KeystrokeParse
{
    platform::KeyStrokes strokes; // empty when there is an error
    std::string error; // empty when the string is well-formed
    std::size_t errorPosition = 0; // character (code point) position of the fault, from 1

    bool ok() const { return error.empty(); }
};

// Turns a keystroke string into key actions:
//   ordinary characters; "~" Enter; "{NAME}" / "{NAME n}" for the named keys (BACKSPACE,
//   BS, BKSP, BREAK, CAPSLOCK, CLEAR, DELETE, DEL, DOWN, END, ENTER, ESC, ESCAPE, HELP, HOME,
//   INSERT, INS, LEFT, NUMLOCK, PGDN, PGUP, PRTSC, RIGHT, SCROLLLOCK, TAB, UP, F1-F16, ADD,
//   SUBTRACT, MULTIPLY, DIVIDE; any case); "{c}" / "{c n}" for one literal character c,
//   "{}}" and "{{}" included; "+", "^", "%" hold Shift, Ctrl, Alt for the next key or a
//   parenthesised group ("+(ab)"), also without a modifier. "[" and "]" outside braces are
//   ordinary characters.
// Malformed input gives an error and no strokes: "}" or ")" out of place, an unknown key
// name, a missing "}" or ")", a modifier given twice for one key or without a key, groups
// nested deeper than 16, a count that is not a number or above 10000, more than a million
// key actions in all. Invalid UTF-8 bytes read as U+FFFD.
KeystrokeParse parseKeystrokes(std::string_view keys);

} // namespace kx::transmit
