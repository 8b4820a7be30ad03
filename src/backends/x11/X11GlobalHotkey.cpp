#include "backends/x11/X11GlobalHotkey.h"

#include "text/Text.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace kx::platform::x11 {

namespace {

constexpr std::array<std::pair<const char*, KeySym>, 21> kNamedKeysyms { {
    { "Space", XK_space },
    { "Esc", XK_Escape },
    { "Tab", XK_Tab },
    { "Backspace", XK_BackSpace },
    { "Return", XK_Return },
    { "Enter", XK_KP_Enter },
    { "Ins", XK_Insert },
    { "Del", XK_Delete },
    { "Pause", XK_Pause },
    { "Print", XK_Print },
    { "SysReq", XK_Sys_Req },
    { "Home", XK_Home },
    { "End", XK_End },
    { "Left", XK_Left },
    { "Up", XK_Up },
    { "Right", XK_Right },
    { "Down", XK_Down },
    { "PgUp", XK_Prior },
    { "PgDown", XK_Next },
    { "Menu", XK_Menu },
    { "Help", XK_Help },
} };

std::string hex(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

} // namespace

std::optional<KeySym> keysymForKey(const std::string& key)
{
    for (const auto& [name, keysym] : kNamedKeysyms)
        if (key == name)
            return keysym;
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int number = 0;
        for (std::size_t i = 1; i < key.size(); ++i) {
            if (key[i] < '0' || key[i] > '9')
                return std::nullopt;
            number = number * 10 + (key[i] - '0');
        }
        if (number >= 1 && number <= 35)
            return XK_F1 + static_cast<KeySym>(number - 1);
        return std::nullopt;
    }
    const std::u32string characters = text::toUtf32(key);
    if (characters.size() != 1)
        return std::nullopt;
    // Letters are grabbed by their lower-case keysym, the one a keymap lists first; the
    // key is the same for both cases.
    const char32_t c = text::lowerCase(characters[0]);
    // Latin-1 keysyms equal the code point; the rest of Unicode is 0x01000000 + code point.
    if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff))
        return static_cast<KeySym>(c);
    if (c > 0xff && c <= 0x10ffff)
        return static_cast<KeySym>(0x01000000 + c);
    return std::nullopt;
}

X11GlobalHotkey::X11GlobalHotkey(const std::string& displayName)
    : m_connection(displayName)
{
}

X11GlobalHotkey::~X11GlobalHotkey() { releaseAll(); }

int X11GlobalHotkey::eventDescriptor() const { return ConnectionNumber(m_connection.display()); }

unsigned X11GlobalHotkey::maskOfModifierKey(KeySym keysym) const
{
    Display* display = m_connection.display();
    const KeyCode keycode = XKeysymToKeycode(display, keysym);
    if (keycode == 0)
        return 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return 0;
    unsigned mask = 0;
    for (int modifier = 0; modifier < 8 && mask == 0; ++modifier)
        for (int i = 0; i < map->max_keypermod; ++i)
            if (map->modifiermap[modifier * map->max_keypermod + i] == keycode) {
                mask = 1u << modifier;
                break;
            }
    XFreeModifiermap(map);
    return mask;
}

std::vector<unsigned> X11GlobalHotkey::lockVariants() const
{
    std::vector<unsigned> locks { LockMask };
    for (KeySym keysym : { KeySym(XK_Num_Lock), KeySym(XK_Scroll_Lock) })
        if (const unsigned mask = maskOfModifierKey(keysym))
            locks.push_back(mask);
    std::vector<unsigned> variants;
    for (unsigned subset = 0; subset < (1u << locks.size()); ++subset) {
        unsigned mask = 0;
        for (std::size_t i = 0; i < locks.size(); ++i)
            if (subset & (1u << i))
                mask |= locks[i];
        variants.push_back(mask);
    }
    return variants;
}

HotkeyResult X11GlobalHotkey::grab(int id, const KeyCombination& combination)
{
    release(id);
    Display* display = m_connection.display();
    const std::optional<KeySym> keysym = keysymForKey(combination.key);
    const KeyCode keycode = keysym ? XKeysymToKeycode(display, *keysym) : 0;
    if (keycode == 0)
        return { HotkeyStatus::KeyUnavailable, "grab key '" + combination.key + "': not on this keyboard" };

    unsigned modifiers = 0;
    if (combination.modifiers & HotkeyShift)
        modifiers |= ShiftMask;
    if (combination.modifiers & HotkeyCtrl)
        modifiers |= ControlMask;
    // Alt and Meta are whatever modifiers the keymap puts those keys on (usually Mod1, Mod4).
    if (combination.modifiers & HotkeyAlt)
        modifiers |= maskOfModifierKey(XK_Alt_L) ? maskOfModifierKey(XK_Alt_L) : Mod1Mask;
    if (combination.modifiers & HotkeyMeta)
        modifiers |= maskOfModifierKey(XK_Super_L) ? maskOfModifierKey(XK_Super_L) : Mod4Mask;

    const Grab wanted { keycode, modifiers };
    std::string error;
    {
        ErrorTrap trap(display);
        for (unsigned locks : lockVariants())
            XGrabKey(display,
                keycode,
                modifiers | locks,
                m_connection.root(),
                False,
                GrabModeAsync,
                GrabModeAsync);
        if (trap.failed())
            error = trap.firstError();
    }
    if (!error.empty()) {
        // A part of the variants may have been granted; the combination is not ours.
        ungrabAll(wanted);
        return { HotkeyStatus::Taken,
            "grab key " + hex(keycode) + " modifiers " + hex(modifiers) + " on the root window: " + error };
    }
    m_grabs[id] = wanted;
    return {};
}

void X11GlobalHotkey::ungrabAll(const Grab& grab)
{
    Display* display = m_connection.display();
    ErrorTrap trap(display);
    for (unsigned locks : lockVariants())
        XUngrabKey(display, grab.keycode, grab.modifiers | locks, m_connection.root());
    trap.failed();
}

void X11GlobalHotkey::release(int id)
{
    const auto held = m_grabs.find(id);
    if (held == m_grabs.end())
        return;
    ungrabAll(held->second);
    m_grabs.erase(held);
}

void X11GlobalHotkey::releaseAll()
{
    while (!m_grabs.empty())
        release(m_grabs.begin()->first);
}

void X11GlobalHotkey::dispatchEvents()
{
    Display* display = m_connection.display();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != KeyPress)
            continue;
        // The state names the lock keys that were on and any pointer buttons held; neither
        // is part of a combination.
        const unsigned modifiers = event.xkey.state & 0xffu & ~lockMask();
        const auto held = std::find_if(m_grabs.begin(), m_grabs.end(), [&](const auto& grab) {
            return grab.second.keycode == event.xkey.keycode && grab.second.modifiers == modifiers;
        });
        if (held == m_grabs.end())
            continue;
        // The grab holds the whole keyboard until the key goes up; give it back at once, so
        // the menu that opens now can take the keyboard for itself.
        XUngrabKeyboard(display, event.xkey.time);
        XSync(display, False);
        if (m_pressed)
            m_pressed(held->first);
    }
}

} // namespace kx::platform::x11
