#pragma once

#include "platform/KeyStroke.h"

#include <cstddef>
#include <functional>
#include <string>

namespace kx::platform {

struct TypingResult
{
    bool ok = true;
    std::string error; // what was attempted and what the system said, for debug output
    std::size_t strokesTyped = 0; // strokes from the start of the sequence that went out whole
    bool stoppedByGuard = false; // the guard said no before the rest could be typed
};

// Asked before each batch of keys while a sequence is typed; returning false stops the
// typing there (the keys already sent stay sent). See the backend for the batch size and
// for how the check and the batch are kept together.
using TypingGuard = std::function<bool()>;

// Synthesised keyboard input into whichever window has the keyboard focus.
class KeyboardOutput
{
public:
    virtual ~KeyboardOutput() = default;

    // Types the sequence and returns when the system has processed every key (the "wait"
    // of the keystroke syntax). With a guard, it is asked before every batch and a "no"
    // ends the typing early. Modifiers it presses are always released, also when the guard
    // stopped it. Whatever the backend changes for a send (the X11 keymap) it gives back on
    // its own, once the target has read the keys.
    virtual TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) = 0;

    // The keystroke string that pastes the clipboard into a console window on this
    // platform: "% BE" (the system menu) on Windows, "+{INSERT}" on X11.
    virtual std::string consolePasteSequence() const = 0;
};

} // namespace kx::platform
