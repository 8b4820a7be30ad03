#pragma once

#include <functional>
#include <string>

namespace kx::platform {

// Modifier keys of a key combination, as bits.
enum HotkeyModifier : unsigned
{
    HotkeyShift = 1,
    HotkeyCtrl = 2,
    HotkeyAlt = 4,
    HotkeyMeta = 8, // the Windows or Super key
};

// One key pressed together with modifiers. `key` is one character as it is printed on the
// key ("V", "1", "Ä", "+"), or a named key as Qt's portable text writes it ("F12",
// "Space", "PgUp"; see popup/HotkeyText.h for the list).
struct KeyCombination
{
    unsigned modifiers = 0;
    std::string key;

    friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

enum class HotkeyStatus
{
    Grabbed,
    Taken, // another program holds the combination
    KeyUnavailable, // the keyboard has no such key
};

struct HotkeyResult
{
    HotkeyStatus status = HotkeyStatus::Grabbed;
    std::string error; // what was attempted and what the system said, for diagnostics
};

// Key combinations that reach this program wherever the keyboard focus is, without
// taking the focus from the window that has it. Several may be held at once, each under a
// number the caller chooses. Runs on the GUI thread; `pressed` handlers run there, from
// dispatchEvents().
class GlobalHotkey
{
public:
    virtual ~GlobalHotkey() = default;

    // Gives up the combination `id` held before, if any, and takes `combination` for it.
    // Two ids holding the same combination is the caller's mistake; the backend may refuse
    // the second or let one of them win.
    virtual HotkeyResult grab(int id, const KeyCombination& combination) = 0;
    // Gives up the combination `id` holds, if any.
    virtual void release(int id) = 0;
    // Gives up every combination held.
    virtual void releaseAll() = 0;

    // Called once for every press of a combination held, with the id it is held under.
    virtual void setPressedHandler(std::function<void(int id)> pressed) = 0;
    // A file descriptor that becomes readable when events may be waiting; -1 when the
    // backend calls the handler by itself.
    virtual int eventDescriptor() const = 0;
    // Handles every event that has arrived; never blocks.
    virtual void dispatchEvents() = 0;
};

} // namespace kx::platform
