#pragma once

#include "platform/KeyboardOutput.h"
#include "platform/x11/KeymapPlan.h"
#include "platform/x11/KeymapWriter.h"
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
// connection carries that last restore, written as raw protocol bytes). A restore the
// server refuses is reported and tried again at restoreDueAt().
class X11KeyboardOutput : public KeyboardOutput
{
public:
    // Opens the display named by $DISPLAY; throws std::runtime_error when that fails.
    X11KeyboardOutput();
    explicit X11KeyboardOutput(std::shared_ptr<X11Connection> connection);
    // Changes the keymap through `keymapWriter` instead of XKB directly.
    X11KeyboardOutput(std::shared_ptr<X11Connection> connection, std::unique_ptr<KeymapWriter> keymapWriter);
    ~X11KeyboardOutput() override;

    X11KeyboardOutput(const X11KeyboardOutput&) = delete;
    X11KeyboardOutput& operator=(const X11KeyboardOutput&) = delete;

    // Also fails when giving the keycodes back failed (without deferral).
    TypingResult type(const KeyStrokes& strokes) override;
    std::string consolePasteSequence() const override { return "+{INSERT}"; }

    void setDeferKeymapRestore(bool defer) override { m_deferRestore = defer; }
    std::optional<std::chrono::steady_clock::time_point> restoreDueAt() const override;
    TypingResult restorePendingKeymap() override;
    // How long after the last key the keymap is given back (default 100 ms).
    void setRestoreDelay(std::chrono::milliseconds delay) { m_restoreDelay = delay; }
    // How long type() waits for another client's keyboard grab to end (default 1 s).
    void setGrabWait(std::chrono::milliseconds wait) { m_grabWait = wait; }
    // How long after a failed restore the next attempt is due (default 1 s).
    void setRestoreRetryDelay(std::chrono::milliseconds delay) { m_restoreRetryDelay = delay; }
    // Whether the last-resort restore (at exit, on a signal or a crash) is prepared: from
    // the first borrowed keycode until a restore has succeeded.
    bool emergencyRestoreArmed() const;

private:
    KeymapSnapshot readKeymap();
    void waitForModifierRelease();
    // Waits, at most setGrabWait(), until no other client holds the keyboard; false when
    // one still does.
    bool waitForKeyboardUngrabbed();
    bool bind(const SpareSymbols& bindings, std::string& error);
    void sendKeys(const std::vector<PlannedKey>& keys);
    void setHeldModifiers(unsigned modifiers);
    void keyEvent(KeyCodeValue code, bool press);

    std::shared_ptr<X11Connection> m_connection;
    Display* m_display;
    std::unique_ptr<KeymapWriter> m_keymapWriter;
    std::array<KeyCodeValue, 8> m_modifierKeys {}; // one key per real modifier, 0 = none
    unsigned m_held = 0; // modifiers this object holds down
    int m_eventsSinceSync = 0;
    std::vector<KeyCodeValue> m_borrowed; // spare keycodes that carry symbols now
    std::optional<std::chrono::steady_clock::time_point> m_restoreDue;
    std::chrono::milliseconds m_restoreDelay { 100 };
    std::chrono::milliseconds m_grabWait { 1000 };
    std::chrono::milliseconds m_restoreRetryDelay { 1000 };
    bool m_deferRestore = false;
};

} // namespace kx::platform::x11
