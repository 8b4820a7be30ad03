#pragma once

#include "backends/x11/KeymapPlan.h"
#include "backends/x11/KeymapWriter.h"
#include "backends/x11/X11Connection.h"
#include "platform/KeyboardOutput.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kx::platform::x11 {

// Keyboard input synthesised with XTest into the window that has the focus.
//
// Every character is typed exactly, whatever the layout: the sequence is resolved against
// the current keymap first; characters the keymap cannot type are bound to spare keycodes
// for the duration of the send. The keymap is given back a short while after the last key
// (the target reads the keymap when it handles the events, which can be after XSync
// returns): by type() itself before it returns, or, with deferral on, by a thread of this
// object over a connection of its own, so that a send returns with its last key. Without
// deferral the next type() gives back what a failed restore left; with it, the next type()
// reuses what is still borrowed. The destructor gives it back in any case. A restore the
// server refuses is reported on stderr and tried again at restoreDueAt().
//
// The last resort, for a program that ends without running its destructors: from the first
// borrowed keycode until a restore has succeeded, handlers for SIGTERM, SIGINT, SIGHUP,
// SIGQUIT and the crash signals and an atexit() function write the restore as raw protocol
// bytes to a third connection that carries nothing else (Xlib is not async-signal-safe),
// then hand the signal on to the handler that was there before. They stay installed for the
// rest of the process; while nothing is borrowed they do nothing.
//
// With a guard, the keys go out in batches of setGuardBatch() keys, and the server is
// grabbed from the guard's check to the end of the batch: no other client's request (the
// window manager moving the focus, another program raising a dialog) is handled in
// between, so every key of a batch reaches the window the check saw. The guard must
// therefore make its X requests over this object's connection (X11WindowSystem on the
// same X11Connection does); one on another connection would wait for the grab forever.
// What a grab cannot hold back: a focus that follows the pointer without a window
// manager (PointerRoot) moves with the physical pointer even during the batch. Modifiers
// are released at the end of every batch, so a stop leaves none held down.
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
    TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) override;
    std::string consolePasteSequence() const override { return "+{INSERT}"; }

    // Whether type() returns right after the last key and leaves the restore to this object's
    // thread (default off: type() gives the keymap back before it returns).
    void setDeferKeymapRestore(bool defer);
    // When the keymap may be given back, or after a failed attempt when to try again;
    // empty when nothing is pending.
    std::optional<std::chrono::steady_clock::time_point> restoreDueAt() const;
    // Gives the keymap back now, first waiting until restoreDueAt() if that is still ahead.
    // When that fails the change stays pending and the error says what failed.
    TypingResult restorePendingKeymap();
    // How long after the last key the keymap is given back (default 100 ms), and how long
    // the target gets to read its keys before a spare keycode carries another symbol. The
    // target looks a key's symbol up only when it reads the key, so this must outlast the
    // time a busy target takes to get to its input.
    void setRestoreDelay(std::chrono::milliseconds delay) { m_restoreDelay = delay; }
    // How long type() waits for another client's keyboard grab to end (default 1 s).
    void setGrabWait(std::chrono::milliseconds wait) { m_grabWait = wait; }
    // Keys per batch between two checks of the guard (default 16).
    void setGuardBatch(std::size_t keys) { m_guardBatch = keys == 0 ? 1 : keys; }
    // How long after a failed restore the next attempt is due (default 1 s).
    void setRestoreRetryDelay(std::chrono::milliseconds delay) { m_restoreRetryDelay = delay; }
    // Whether the last-resort restore (at exit, on a signal or a crash) is prepared: from
    // the first borrowed keycode until a restore has succeeded.
    bool emergencyRestoreArmed() const;

private:
    // With m_mutex held: gives the borrowed keycodes back over `display`.
    TypingResult giveBackLocked(Display* display);
    TypingResult restorePendingLocked();
    // The deferred restore's thread: waits until a restore is due and makes it over a
    // connection of its own, so it never touches the connection the GUI thread uses.
    void restoreWhenDue();
    KeymapSnapshot readKeymap();
    void waitForModifierRelease();
    // Waits, at most setGrabWait(), until no other client holds the keyboard; false when
    // one still does.
    bool waitForKeyboardUngrabbed();
    text::Result bind(const SpareSymbols& bindings);
    // Types the keys, in guarded batches when there is a guard; `typed` follows the strokes
    // typed whole. False when the guard stopped it.
    bool sendKeys(const std::vector<PlannedKey>& keys, const TypingGuard& guard, std::size_t& typed);
    void setHeldModifiers(unsigned modifiers);
    void keyEvent(KeyCodeValue code, bool press);

    std::shared_ptr<X11Connection> m_connection;
    Display* m_display;
    std::unique_ptr<KeymapWriter> m_keymapWriter;
    std::array<KeyCodeValue, 8> m_modifierKeys {}; // one key per real modifier, 0 = none
    unsigned m_held = 0; // modifiers this object holds down
    int m_eventsSinceSync = 0;
    // Guards what the restore thread shares: the borrowed keycodes, when they are due, the
    // keymap writer and the thread's state. type() holds it from start to end.
    mutable std::mutex m_mutex;
    std::condition_variable m_restoreWake;
    std::thread m_restoreThread;
    bool m_stopping = false;
    std::string m_displayName; // for the restore thread's own connection
    std::vector<KeyCodeValue> m_borrowed; // spare keycodes that carry symbols now
    std::optional<std::chrono::steady_clock::time_point> m_restoreDue;
    std::chrono::milliseconds m_restoreDelay { 100 };
    std::chrono::milliseconds m_grabWait { 1000 };
    std::chrono::milliseconds m_restoreRetryDelay { 1000 };
    // 64 keys hold the server for a few milliseconds; 16 cost a quarter of the typing
    // speed in round trips.
    std::size_t m_guardBatch = 64;
    bool m_inGuardedBatch = false;
    bool m_deferRestore = false;
};

} // namespace kx::platform::x11
