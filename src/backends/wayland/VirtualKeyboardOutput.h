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
// Each send uploads a keymap made for it (UploadedKeymap.h) unless the keymap in force has
// every character already, so no modifier is pressed for a character and the user's layout
// stays as it is.
//
// Keymap changes are paced: a new keymap goes up only after a round trip and setKeymapHold()
// after the last key typed with the old one, since X11 programs under Xwayland look a key up
// when they read it, and very fast keymap changes hung sway 1.7.
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
    void setKeymapHold(std::chrono::milliseconds hold) { m_keymapHold = hold; }
    void setMaxRate(std::size_t strokesPerSecond)
    {
        m_maxRate = strokesPerSecond == 0 ? 1 : strokesPerSecond;
    }

private:
    // Makes `characters` the keymap in force, unless the one in force has them all; false
    // when the keymap could not be handed over.
    bool useKeymap(const std::vector<char32_t>& characters, std::string& error);
    void key(KeyCode code, bool press);
    void setModifiers(std::uint8_t modifiers);
    // The key's keycode in the keymap in force, which may be an earlier one that has every
    // character of the round too.
    KeyCode codeInForce(const VirtualKey& key) const;

    std::shared_ptr<WaylandConnection> m_connection;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    std::vector<char32_t> m_inForce; // the characters of the keymap in force, in keycode order
    std::optional<std::chrono::steady_clock::time_point> m_lastKey;
    std::chrono::milliseconds m_keymapHold { 200 };
    std::size_t m_guardBatch = 64;
    std::size_t m_maxRate = 12000;
};

} // namespace kx::platform::wayland
