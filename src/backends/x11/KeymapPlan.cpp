#include "backends/x11/KeymapPlan.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <map>
#include <optional>

namespace kx::platform::x11 {

namespace {

// Modifiers that change what a key means instead of which symbol it types.
constexpr unsigned notForLevels = ControlMask | LockMask | Mod1Mask;

unsigned requestedModifiers(std::uint8_t modifiers)
{
    unsigned mask = 0;
    if (modifiers & Shift)
        mask |= ShiftMask;
    if (modifiers & Ctrl)
        mask |= ControlMask;
    if (modifiers & Alt)
        mask |= Mod1Mask;
    return mask;
}

std::string codePointText(char32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

struct Found
{
    KeyCodeValue code;
    unsigned modifiers;
};

bool isKeypad(KeySymValue keysym) { return keysym >= XK_KP_Space && keysym <= XK_KP_Equal; }

// The key and level producing `wanted` in the current group, fewest modifiers first.
std::optional<Found> findKeysym(const KeymapSnapshot& keymap, KeySymValue wanted, bool byCharacter)
{
    const char32_t character = byCharacter ? characterOfKeysym(wanted) : 0;
    std::optional<Found> best;
    for (const auto& key : keymap.keys) {
        if (key.groups.empty())
            continue;
        // XKB wraps a group number the key does not have into its range.
        const auto& levels = key.groups[keymap.group % key.groups.size()];
        for (const auto& level : levels) {
            const bool matches = byCharacter
                ? (!isKeypad(level.keysym) && characterOfKeysym(level.keysym) == character)
                : level.keysym == wanted;
            if (!matches || !level.reachable
                || (level.modifiers & (notForLevels | ~keymap.pressableModifiers)))
                continue;
            if (!best || std::popcount(level.modifiers) < std::popcount(best->modifiers))
                best = Found { key.code, level.modifiers };
        }
    }
    return best;
}

} // namespace

KeySymValue keysymForCharacter(char32_t c)
{
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF))
        return static_cast<KeySymValue>(c);
    return 0x1000000 + static_cast<KeySymValue>(c);
}

char32_t characterOfKeysym(KeySymValue keysym)
{
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        return static_cast<char32_t>(keysym);
    if (keysym >= 0x1000100 && keysym <= 0x110FFFF)
        return static_cast<char32_t>(keysym - 0x1000000);
    if (keysym == XK_EuroSign)
        return U'€';
    return 0;
}

KeySymValue keysymForNamedKey(NamedKey key)
{
    switch (key) {
    case NamedKey::Character:
        return 0;
    case NamedKey::Enter:
        return XK_Return;
    case NamedKey::Tab:
        return XK_Tab;
    case NamedKey::Backspace:
        return XK_BackSpace;
    case NamedKey::Break:
        return XK_Break;
    case NamedKey::CapsLock:
        return XK_Caps_Lock;
    case NamedKey::Clear:
        return XK_Clear;
    case NamedKey::Delete:
        return XK_Delete;
    case NamedKey::Down:
        return XK_Down;
    case NamedKey::End:
        return XK_End;
    case NamedKey::Escape:
        return XK_Escape;
    case NamedKey::Help:
        return XK_Help;
    case NamedKey::Home:
        return XK_Home;
    case NamedKey::Insert:
        return XK_Insert;
    case NamedKey::Left:
        return XK_Left;
    case NamedKey::NumLock:
        return XK_Num_Lock;
    case NamedKey::PageDown:
        return XK_Next;
    case NamedKey::PageUp:
        return XK_Prior;
    case NamedKey::PrintScreen:
        return XK_Print;
    case NamedKey::Right:
        return XK_Right;
    case NamedKey::ScrollLock:
        return XK_Scroll_Lock;
    case NamedKey::Up:
        return XK_Up;
    case NamedKey::Add:
        return XK_KP_Add;
    case NamedKey::Subtract:
        return XK_KP_Subtract;
    case NamedKey::Multiply:
        return XK_KP_Multiply;
    case NamedKey::Divide:
        return XK_KP_Divide;
    default:
        break;
    }
    const int n = static_cast<int>(key) - static_cast<int>(NamedKey::F1);
    return XK_F1 + static_cast<KeySymValue>(n);
}

KeyPlan planKeystrokes(const KeymapSnapshot& keymap, const KeyStrokes& strokes)
{
    // First pass: what each stroke needs, either a key of the keymap or a missing keysym.
    struct Need
    {
        std::optional<Found> found;
        KeySymValue missing = 0;
        unsigned extra = 0;
        std::size_t stroke = 0;
    };
    std::vector<Need> needs;
    KeyPlan plan;
    std::map<KeySymValue, std::optional<Found>> cache;
    bool afterCr = false;

    for (std::size_t index = 0; index < strokes.size(); ++index) {
        const KeyStroke& stroke = strokes[index];
        KeySymValue keysym = 0;
        bool byCharacter = false;
        bool enter = false; // a CR or "~": an LF right after it belongs to it
        if (stroke.key != NamedKey::Character) {
            keysym = keysymForNamedKey(stroke.key);
            enter = stroke.key == NamedKey::Enter;
        } else if (stroke.character == U'\r') {
            keysym = XK_Return;
            enter = true;
        } else if (stroke.character == U'\n') {
            const bool pairedWithCr = afterCr;
            afterCr = false;
            if (pairedWithCr)
                continue;
            keysym = XK_Return;
        } else if (stroke.character == U'\t') {
            keysym = XK_Tab;
        } else if (stroke.character == U'\b') {
            keysym = XK_BackSpace;
        } else if (stroke.character == 0x1B) {
            keysym = XK_Escape;
        } else if (stroke.character < 0x20 || stroke.character == 0x7F
            || (stroke.character >= 0xD800 && stroke.character <= 0xDFFF) || stroke.character > 0x10FFFF) {
            plan.error += (plan.error.empty() ? "" : ", ") + codePointText(stroke.character) + " has no key";
            afterCr = false;
            continue;
        } else {
            keysym = keysymForCharacter(stroke.character);
            byCharacter = true;
        }
        afterCr = enter;

        const KeySymValue cacheKey = byCharacter ? keysym : (keysym | 0x80000000u);
        auto it = cache.find(cacheKey);
        if (it == cache.end())
            it = cache.emplace(cacheKey, findKeysym(keymap, keysym, byCharacter)).first;
        Need need;
        need.found = it->second;
        need.extra = requestedModifiers(stroke.modifiers);
        need.stroke = index;
        if (!need.found)
            need.missing = keysym;
        needs.push_back(need);
    }

    // Second pass: spare keycodes for the missing keysyms, in as few rounds as possible
    // (each round ends where one more distinct keysym would not fit).
    const std::size_t spares = keymap.spareKeycodes.size();
    PlanRound round;
    std::map<KeySymValue, KeyCodeValue> bound;
    bool reportedNoSpares = false;
    for (const Need& need : needs) {
        if (need.found) {
            round.keys.push_back({ need.found->code, need.found->modifiers | need.extra, need.stroke });
            continue;
        }
        if (spares == 0) {
            if (!reportedNoSpares)
                plan.error
                    += std::string(plan.error.empty() ? "" : ", ") + "no spare keycode for missing symbols";
            reportedNoSpares = true;
            continue;
        }
        auto it = bound.find(need.missing);
        if (it == bound.end()) {
            if (bound.size() == spares) {
                plan.rounds.push_back(std::move(round));
                round = PlanRound {};
                bound.clear();
            }
            const KeyCodeValue code = keymap.spareKeycodes[bound.size()];
            round.bindings.emplace_back(code, need.missing);
            it = bound.emplace(need.missing, code).first;
        }
        round.keys.push_back({ it->second, need.extra, need.stroke });
    }
    if (!round.keys.empty() || plan.rounds.empty())
        plan.rounds.push_back(std::move(round));
    return plan;
}

} // namespace kx::platform::x11
