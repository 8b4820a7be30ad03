#pragma once

#include "backends/x11/KeymapPlan.h"
#include "text/Result.h"

#include <X11/Xlib.h>

#include <utility>
#include <vector>

namespace kx::platform::x11 {

using SpareSymbols = std::vector<std::pair<KeyCodeValue, KeySymValue>>;

// Changes the server's keymap for the keyboard output. XkbKeymapWriter is the real one; a
// test passes one that fails on purpose to check what happens when the server refuses.
class KeymapWriter
{
public:
    virtual ~KeymapWriter() = default;

    // Puts the symbols on the spare keycodes (NoSymbol: takes them away) in one keymap
    // change. A failure says what failed; the keymap is then unchanged.
    virtual text::Result setSpareSymbols(Display* display, const SpareSymbols& symbols) = 0;
};

// Writes the change with XKB (one request for the whole keycode range).
class XkbKeymapWriter : public KeymapWriter
{
public:
    text::Result setSpareSymbols(Display* display, const SpareSymbols& symbols) override;
};

} // namespace kx::platform::x11
