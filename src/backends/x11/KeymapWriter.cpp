#include "backends/x11/KeymapWriter.h"

#include "backends/x11/X11Connection.h"

#include <X11/XKBlib.h>

#include <algorithm>
#include <memory>

namespace kx::platform::x11 {

namespace {

struct XkbDescDeleter
{
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};

} // namespace

text::Result XkbKeymapWriter::setSpareSymbols(Display* display, const SpareSymbols& symbols)
{
    if (symbols.empty())
        return text::Result::success();
    ErrorTrap trap(display);
    std::unique_ptr<XkbDescRec, XkbDescDeleter> xkb(
        XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd));
    if (!xkb)
        return text::Result::failure("reading the keymap failed");
    KeyCodeValue low = 255;
    KeyCodeValue high = 0;
    for (const auto& [code, keysym] : symbols) {
        low = std::min(low, code);
        high = std::max(high, code);
        if (keysym == NoSymbol) {
            XkbChangeTypesOfKey(xkb.get(), code, 0, XkbGroup1Mask, nullptr, nullptr);
            continue;
        }
        // One level, so neither Shift nor a case conversion changes the symbol.
        int types[XkbNumKbdGroups] = { XkbOneLevelIndex };
        XkbChangeTypesOfKey(xkb.get(), code, 1, XkbGroup1Mask, types, nullptr);
        KeySym* entry = XkbResizeKeySyms(xkb.get(), code, 1);
        if (entry)
            entry[0] = keysym;
    }
    // One request for the whole range (the keys in between are sent back as they are): each
    // keymap change makes every client reload the keymap and the window manager re-grab its
    // key bindings, so one change per character or per keycode would cost seconds.
    XkbMapChangesRec changes {};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = low;
    changes.num_key_syms = static_cast<unsigned char>(high - low + 1);
    XkbChangeMap(display, xkb.get(), &changes);
    if (trap.failed())
        return text::Result::failure("changing the keymap failed: " + trap.firstError());
    return text::Result::success();
}

} // namespace kx::platform::x11
