#include "backends/wayland/UploadedKeymap.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

namespace kx::platform::wayland {

namespace {

struct NamedKeyCode
{
    NamedKey key;
    KeyCode code;
    const char* keysym;
};

// Where a PC keyboard has these keys (the evdev keycodes of xkeyboard-config), so that
// programs that look at keycodes find them where they expect them.
constexpr std::array namedKeys = {
    NamedKeyCode { NamedKey::Enter, 36, "Return" },
    NamedKeyCode { NamedKey::Tab, 23, "Tab" },
    NamedKeyCode { NamedKey::Backspace, 22, "BackSpace" },
    NamedKeyCode { NamedKey::Break, 127, "Pause" },
    NamedKeyCode { NamedKey::CapsLock, 66, "Caps_Lock" },
    NamedKeyCode { NamedKey::Clear, 84, "Clear" },
    NamedKeyCode { NamedKey::Delete, 119, "Delete" },
    NamedKeyCode { NamedKey::Down, 116, "Down" },
    NamedKeyCode { NamedKey::End, 115, "End" },
    NamedKeyCode { NamedKey::Escape, 9, "Escape" },
    NamedKeyCode { NamedKey::Help, 146, "Help" },
    NamedKeyCode { NamedKey::Home, 110, "Home" },
    NamedKeyCode { NamedKey::Insert, 118, "Insert" },
    NamedKeyCode { NamedKey::Left, 113, "Left" },
    NamedKeyCode { NamedKey::NumLock, 77, "Num_Lock" },
    NamedKeyCode { NamedKey::PageDown, 117, "Next" },
    NamedKeyCode { NamedKey::PageUp, 112, "Prior" },
    NamedKeyCode { NamedKey::PrintScreen, 107, "Print" },
    NamedKeyCode { NamedKey::Right, 114, "Right" },
    NamedKeyCode { NamedKey::ScrollLock, 78, "Scroll_Lock" },
    NamedKeyCode { NamedKey::Up, 111, "Up" },
    NamedKeyCode { NamedKey::F1, 67, "F1" },
    NamedKeyCode { NamedKey::F2, 68, "F2" },
    NamedKeyCode { NamedKey::F3, 69, "F3" },
    NamedKeyCode { NamedKey::F4, 70, "F4" },
    NamedKeyCode { NamedKey::F5, 71, "F5" },
    NamedKeyCode { NamedKey::F6, 72, "F6" },
    NamedKeyCode { NamedKey::F7, 73, "F7" },
    NamedKeyCode { NamedKey::F8, 74, "F8" },
    NamedKeyCode { NamedKey::F9, 75, "F9" },
    NamedKeyCode { NamedKey::F10, 76, "F10" },
    NamedKeyCode { NamedKey::F11, 95, "F11" },
    NamedKeyCode { NamedKey::F12, 96, "F12" },
    NamedKeyCode { NamedKey::F13, 191, "F13" },
    NamedKeyCode { NamedKey::F14, 192, "F14" },
    NamedKeyCode { NamedKey::F15, 193, "F15" },
    NamedKeyCode { NamedKey::F16, 194, "F16" },
    NamedKeyCode { NamedKey::Add, 86, "KP_Add" },
    NamedKeyCode { NamedKey::Subtract, 82, "KP_Subtract" },
    NamedKeyCode { NamedKey::Multiply, 63, "KP_Multiply" },
    NamedKeyCode { NamedKey::Divide, 106, "KP_Divide" },
};

constexpr std::array<std::pair<KeyCode, const char*>, 3> modifierKeys
    = { { { shiftKey, "Shift_L" }, { controlKey, "Control_L" }, { altKey, "Alt_L" } } };

constexpr KeyCode lastKeyCode = 255;

bool isReserved(KeyCode code)
{
    return std::any_of(namedKeys.begin(), namedKeys.end(), [code](const auto& k) { return k.code == code; })
        || std::any_of(modifierKeys.begin(), modifierKeys.end(), [code](const auto& k) {
               return k.first == code;
           });
}

// The keycodes characters get, in order: every one from 9 (evdev 1) to 255 the named keys
// and modifiers leave free.
const std::vector<KeyCode>& characterKeyCodes()
{
    static const std::vector<KeyCode> codes = [] {
        std::vector<KeyCode> free;
        for (KeyCode code = 9; code <= lastKeyCode; ++code)
            if (!isReserved(code))
                free.push_back(code);
        return free;
    }();
    return codes;
}

KeyCode namedKeyCode(NamedKey key)
{
    for (const NamedKeyCode& named : namedKeys)
        if (named.key == key)
            return named.code;
    return 0;
}

std::string codePointText(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

std::string keysymName(xkb_keysym_t keysym)
{
    char name[64];
    if (xkb_keysym_get_name(keysym, name, sizeof name) < 0)
        return "NoSymbol";
    return name;
}

} // namespace

VirtualKeyPlan planVirtualKeys(const KeyStrokes& strokes)
{
    const std::vector<KeyCode>& free = characterKeyCodes();
    VirtualKeyPlan plan;
    KeymapRound round;
    std::map<char32_t, KeyCode> assigned;
    bool afterEnter = false;
    for (std::size_t index = 0; index < strokes.size(); ++index) {
        const KeyStroke& stroke = strokes[index];
        NamedKey key = stroke.key;
        const bool enter
            = key == NamedKey::Enter || (key == NamedKey::Character && stroke.character == U'\r');
        if (key == NamedKey::Character) {
            switch (stroke.character) {
            case U'\r':
                key = NamedKey::Enter;
                break;
            case U'\n':
                key = NamedKey::Enter;
                if (afterEnter) {
                    afterEnter = false;
                    continue;
                }
                break;
            case U'\t':
                key = NamedKey::Tab;
                break;
            case U'\b':
                key = NamedKey::Backspace;
                break;
            case 0x1B:
                key = NamedKey::Escape;
                break;
            default:
                break;
            }
        }
        afterEnter = enter;
        if (key != NamedKey::Character) {
            round.keys.push_back({ namedKeyCode(key), 0, stroke.modifiers, index });
            continue;
        }
        const char32_t c = stroke.character;
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            plan.error += (plan.error.empty() ? "" : ", ") + codePointText(c) + " has no key";
            continue;
        }
        auto found = assigned.find(c);
        if (found == assigned.end()) {
            if (assigned.size() == free.size()) {
                plan.rounds.push_back(std::move(round));
                round = {};
                assigned.clear();
            }
            found = assigned.emplace(c, free[assigned.size()]).first;
            round.characters.push_back(c);
        }
        round.keys.push_back({ found->second, c, stroke.modifiers, index });
    }
    if (!round.keys.empty() || plan.rounds.empty())
        plan.rounds.push_back(std::move(round));
    return plan;
}

std::size_t characterKeyCount() { return characterKeyCodes().size(); }

KeyCode characterKeyCode(std::size_t position) { return characterKeyCodes().at(position); }

std::string keymapText(const std::vector<char32_t>& characters)
{
    const std::vector<KeyCode>& free = characterKeyCodes();
    std::string codes, symbols;
    const auto addKey = [&](KeyCode code, const std::string& levels, const char* type) {
        const std::string name = "<K" + std::to_string(code) + ">";
        codes += "    " + name + " = " + std::to_string(code) + ";\n";
        symbols += "    key " + name + " { type = \"" + type + "\", [ " + levels + " ] };\n";
    };
    for (const auto& [code, keysym] : modifierKeys)
        addKey(code, keysym, "ONE_LEVEL");
    for (const NamedKeyCode& named : namedKeys)
        addKey(named.code, named.keysym, "ONE_LEVEL");
    for (std::size_t i = 0; i < characters.size() && i < free.size(); ++i) {
        if (characters[i] == 0)
            continue;
        const xkb_keysym_t keysym = xkb_utf32_to_keysym(characters[i]);
        const xkb_keysym_t upper = xkb_keysym_to_upper(keysym);
        if (upper != keysym)
            addKey(free[i], keysymName(keysym) + ", " + keysymName(upper), "TWO_LEVEL");
        else
            addKey(free[i], keysymName(keysym), "ONE_LEVEL");
    }
    // The compositor compiles the keymap (types from its xkeyboard-config data), and every
    // client, Xwayland too, reads its own serialisation of it.
    return "xkb_keymap {\n"
           "xkb_keycodes \"kalmotex\" {\n    minimum = 8;\n    maximum = 255;\n"
        + codes
        + "};\n"
          // The standard types and compatibility, from the compositor's xkeyboard-config data:
          // the X server refuses a type set of our own (XkbSetMap: BadValue from Xwayland's
          // default keymap), and Xwayland 22.1 crashed on the standard types with a compatibility
          // section of our own; X11 programs then read the keys with the old keymap.
          "xkb_types \"kalmotex\" { include \"complete\" };\n"
          "xkb_compatibility \"kalmotex\" { include \"complete\" };\n"
          "xkb_symbols \"kalmotex\" {\n"
        + symbols + "    modifier_map Shift { <K" + std::to_string(shiftKey)
        + "> };\n    modifier_map Control { <K" + std::to_string(controlKey)
        + "> };\n    modifier_map Mod1 { <K" + std::to_string(altKey)
        + "> };\n"
          "};\n"
          "};\n";
}

} // namespace kx::platform::wayland
