#pragma once

#include "platform/KeyStroke.h"

#include <chrono>
#include <optional>
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

    // A backend may change the keymap for a send (X11 binds characters the layout lacks to
    // spare keycodes) and give it back once the target has read the keys. With deferral
    // on, type() returns right after the last key and the caller calls
    // restorePendingKeymap() at restoreDueAt() (an event-loop timer); the next type() and
    // the destructor restore in any case. Backends that change nothing keep these defaults.
    virtual void setDeferKeymapRestore(bool) { }
    // When the keymap may be given back, or after a failed attempt when to try again;
    // empty when nothing is pending.
    virtual std::optional<std::chrono::steady_clock::time_point> restoreDueAt() const { return std::nullopt; }
    // Gives the keymap back, first waiting until restoreDueAt() if that is still ahead. When
    // that fails the change stays pending, restoreDueAt() says when to retry, and the error
    // says what failed.
    virtual TypingResult restorePendingKeymap() { return {}; }
};

} // namespace kx::platform
