#pragma once

#include "backends/wayland/UploadedKeymap.h"
#include "backends/wayland/WaylandConnection.h"
#include "platform/KeyboardOutput.h"

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

struct zwp_virtual_keyboard_v1;

namespace kx::platform::wayland {

// Keyboard input through one virtual keyboard (zwp_virtual_keyboard_v1) that lives as long
// as this object: a seat that gets a keyboard only when a send starts loses its first keys.
// A send uploads a keymap (UploadedKeymap.h) in which every one of its characters has a
// keycode, so no modifier is pressed for a character and the user's layout stays as it is.
//
// X11 programs under Xwayland look a key up in the keymap in force when they read it, which
// can be after later sends changed the keymap. So a character keeps its keycode from send to
// send: new characters take free keycodes, and only when none is left do the characters
// used longest ago give theirs up. Such an eviction waits until setEvictionHold() has passed
// since the last key; any keymap change waits setKeymapInterval() after the one before, as
// very fast keymap changes hung sway 1.7.
//
// Keys go out in batches of setGuardBatch() strokes; before each batch the guard is asked
// (its round trip through the compositor brings the window's "activated" state), and after
// each a round trip keeps the socket from filling. Modifiers are released after every stroke.
//
// The pace is capped at setMaxRate() strokes per second. The compositor passes every key on
// to the target at once, and libwayland 1.21 gives up on a client whose socket is full: a
// target that reads nothing for a while (a loaded machine) is disconnected after some
// thousands of keys. Whole batches make few, full socket writes, which hold the most; the cap
// turns that into time (at 12,000 per second, a target may stall for about a quarter of a
// second at any point of a long send, or for all of a send of 2,000 characters).
class VirtualKeyboardOutput : public KeyboardOutput
{
public:
    // Creates the virtual keyboard on the connection's seat; throws std::runtime_error when
    // the compositor offers no virtual keyboards or no seat.
    explicit VirtualKeyboardOutput(std::shared_ptr<WaylandConnection> connection);
    ~VirtualKeyboardOutput() override;

    VirtualKeyboardOutput(const VirtualKeyboardOutput&) = delete;
    VirtualKeyboardOutput& operator=(const VirtualKeyboardOutput&) = delete;

    TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) override;
    std::string consolePasteSequence() const override { return "+{INSERT}"; }

    void setGuardBatch(std::size_t strokes) { m_guardBatch = strokes == 0 ? 1 : strokes; }
    void setEvictionHold(std::chrono::milliseconds hold) { m_evictionHold = hold; }
    void setKeymapInterval(std::chrono::milliseconds interval) { m_keymapInterval = interval; }
    void setMaxRate(std::size_t strokesPerSecond)
    {
        m_maxRate = strokesPerSecond == 0 ? 1 : strokesPerSecond;
    }

private:
    // Gives every one of `characters` a keycode in the keymap in force, uploading a new one
    // when one lacks a keycode; false when the keymap could not be handed over.
    bool useKeymap(const std::vector<char32_t>& characters, std::string& error);
    void key(KeyCode code, bool press);
    void setModifiers(std::uint8_t modifiers);
    // The key's keycode in the keymap in force, which may be an earlier one that has every
    // character of the round too.
    KeyCode codeInForce(const VirtualKey& key) const;

    std::shared_ptr<WaylandConnection> m_connection;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    // The character on each character keycode of the keymap in force (0: none), and the
    // number of the round (a send has one, or more when it has many characters) that last used it.
    std::vector<char32_t> m_inForce;
    std::vector<std::uint64_t> m_lastUse;
    std::uint64_t m_rounds = 0;
    std::optional<std::chrono::steady_clock::time_point> m_lastKey;
    std::optional<std::chrono::steady_clock::time_point> m_lastKeymap;
    std::chrono::milliseconds m_evictionHold { 1000 };
    std::chrono::milliseconds m_keymapInterval { 50 };
    std::size_t m_guardBatch = 64;
    std::size_t m_maxRate = 12000;
};

} // namespace kx::platform::wayland
