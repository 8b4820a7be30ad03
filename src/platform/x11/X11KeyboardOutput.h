#pragma once

#include "platform/KeyboardOutput.h"
#include "platform/x11/KeymapPlan.h"
#include "platform/x11/X11Connection.h"

#include <array>
#include <chrono>
#include <memory>
#include <optional>

namespace kx::platform::x11 {

// Keyboard input synthesised with XTest into the window that has the focus.
//
// Every character is typed exactly, whatever the layout: the sequence is resolved against
// the current keymap first; characters the keymap cannot type are bound to spare keycodes
// for the duration of the send. The keymap is given back a short while after the last key
// (the target reads the keymap when it handles the events, which can be after XSync
// returns), by type() itself before it returns unless deferred, and at the latest by the
// destructor, at exit, or in a handler for SIGTERM, SIGINT and crash signals (a second
// connection carries that last restore, written as raw protocol bytes).
class X11KeyboardOutput : public KeyboardOutput
{
public:
    // Opens the display named by $DISPLAY; throws std::runtime_error when that fails.
    X11KeyboardOutput();
    explicit X11KeyboardOutput(std::shared_ptr<X11Connection> connection);
    ~X11KeyboardOutput() override;

    X11KeyboardOutput(const X11KeyboardOutput&) = delete;
    X11KeyboardOutput& operator=(const X11KeyboardOutput&) = delete;

    TypingResult type(const KeyStrokes& strokes) override;
    std::string consolePasteSequence() const override { return "+{INSERT}"; }

    // With deferral on, type() returns right after the last key and leaves borrowed keycodes
    // bound; the caller then calls restorePendingKeymap() at restoreDueAt() (an event-loop
    // timer). The next type() and the destructor restore in any case.
    void setDeferKeymapRestore(bool defer) { m_deferRestore = defer; }
    // The time the borrowed keycodes may be given back; empty when nothing is borrowed.
    std::optional<std::chrono::steady_clock::time_point> restoreDueAt() const;
    // Gives borrowed keycodes back, first waiting until restoreDueAt() if that is still ahead.
    void restorePendingKeymap();
    // How long after the last key the keymap is given back (default 100 ms).
    void setRestoreDelay(std::chrono::milliseconds delay) { m_restoreDelay = delay; }

private:
    KeymapSnapshot readKeymap();
    void waitForModifierRelease();
    // Puts the symbols on the spare keycodes (NoSymbol: takes them away) in one keymap change.
    bool setSpareSymbols(const std::vector<std::pair<KeyCodeValue, KeySymValue>>& symbols,
        std::string& error);
    bool bind(const std::vector<std::pair<KeyCodeValue, KeySymValue>>& bindings, std::string& error);
    void sendKeys(const std::vector<PlannedKey>& keys);
    void setHeldModifiers(unsigned modifiers);
    void keyEvent(KeyCodeValue code, bool press);

    std::shared_ptr<X11Connection> m_connection;
    Display* m_display;
    std::array<KeyCodeValue, 8> m_modifierKeys {}; // one key per real modifier, 0 = none
    unsigned m_held = 0; // modifiers this object holds down
    int m_eventsSinceSync = 0;
    std::vector<KeyCodeValue> m_borrowed; // spare keycodes that carry symbols now
    std::optional<std::chrono::steady_clock::time_point> m_restoreDue;
    std::chrono::milliseconds m_restoreDelay { 100 };
    bool m_deferRestore = false;
};

} // namespace kx::platform::x11
