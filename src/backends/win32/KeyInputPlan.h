#pragma once

#include "platform/KeyStroke.h"

#include <functional>
#include <vector>

#include <windows.h>

namespace kx::platform::win32 {

// What the plan needs to know of the keyboard layout; the real one asks the system
// (VkKeyScanW, MapVirtualKeyW), tests pass a table.
struct KeyLayout
{
    // VkKeyScanW's answer: virtual key in the low byte, the shift state it needs in the
    // high byte (1 Shift, 2 Ctrl, 4 Alt); -1 when no key of the layout types the character.
    std::function<SHORT(wchar_t)> keyForCharacter;
    // The scan code of a virtual key (0 when unknown).
    std::function<WORD(WORD)> scanCode;
};

// The SendInput events that type `strokes`. Plain characters go in as Unicode packets
// (KEYEVENTF_UNICODE), one down/up pair per UTF-16 unit, so every character arrives
// whatever the layout and whatever modifiers the user holds. A character with modifiers
// ("^c", "% ") must be a real key, or the target sees no shortcut: it is typed with the
// layout's key. CR, LF, Tab and Backspace are their keys; an LF right after a CR (or an
// Enter) belongs to it and is dropped. Every modifier pressed for a stroke is released
// right after it, so the plan ends with no key down. With `eventsAfterStroke`, entry i
// receives how many events the plan holds once stroke i is planned, so a caller can stop
// between strokes.
std::vector<INPUT> planKeyInputs(const KeyStrokes& strokes,
    const KeyLayout& layout,
    std::vector<std::size_t>* eventsAfterStroke = nullptr);

// The virtual key of a named key and whether it is an extended key (arrows, Insert,
// Delete, Home, End, Page Up/Down, Num Lock, Print Screen, keypad divide).
struct VirtualKey
{
    WORD code = 0;
    bool extended = false;
};
VirtualKey virtualKeyFor(NamedKey key);

} // namespace kx::platform::win32
