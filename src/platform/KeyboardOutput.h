#pragma once

#include "platform/KeyStroke.h"

#include <string>

namespace kx::platform {

struct TypingResult
{
    bool ok = true;
    std::string error; // what was attempted and what the system said, for debug output
};

// Synthesised keyboard input into whichever window has the keyboard focus.
class KeyboardOutput
{
public:
    virtual ~KeyboardOutput() = default;

    // Types the whole sequence and returns when the system has processed every key
    // (the "wait" of the keystroke syntax). Modifiers it presses are always released.
    virtual TypingResult type(const KeyStrokes& strokes) = 0;

    // The keystroke string that pastes the clipboard into a console window on this
    // platform: "% BE" (the system menu) on Windows, "+{INSERT}" on X11.
    virtual std::string consolePasteSequence() const = 0;
};

} // namespace kx::platform
