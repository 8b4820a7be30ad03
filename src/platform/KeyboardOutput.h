#pragma once

#include "platform/KeyStroke.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
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
    // ends the typing early. Modifiers it presses are always released and a changed
    // keymap is given back, also when the guard stopped it.
    virtual TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) = 0;

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
