#pragma once

#include "backends/x11/X11Connection.h"
#include "platform/GlobalHotkey.h"

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kx::platform::x11 {

// The keysym of a key as KeyCombination names it (a character or a named key); nothing
// when X11 has no keysym for it.
std::optional<KeySym> keysymForKey(const std::string& key);

// Global hotkeys through passive grabs (XGrabKey) on the root window. It has an X
// connection of its own, so the key events of the grab never mix with the events the
// window system and the keyboard wait for on theirs.
class X11GlobalHotkey : public GlobalHotkey
{
public:
    // Opens its own connection to the named display. Throws std::runtime_error on failure.
    explicit X11GlobalHotkey(const std::string& displayName);
    ~X11GlobalHotkey() override;

    HotkeyResult grab(int id, const KeyCombination& combination) override;
    void release(int id) override;
    void releaseAll() override;
    void setPressedHandler(std::function<void(int)> pressed) override { m_pressed = std::move(pressed); }
    int eventDescriptor() const override;
    void dispatchEvents() override;

private:
    struct Grab
    {
        KeyCode keycode = 0;
        unsigned modifiers = 0; // the X modifier mask without the lock keys
    };
    // Every combination of the lock modifiers (Caps Lock, Num Lock, Scroll Lock) that the
    // keyboard has: a passive grab matches the modifier state exactly, and a lock that is
    // on would otherwise make the hotkey do nothing.
    std::vector<unsigned> lockVariants() const;
    unsigned lockMask() const { return lockVariants().back(); }
    unsigned maskOfModifierKey(KeySym keysym) const;
    void ungrabAll(const Grab& grab);

    X11Connection m_connection;
    std::map<int, Grab> m_grabs;
    std::function<void(int)> m_pressed;
};

} // namespace kx::platform::x11
