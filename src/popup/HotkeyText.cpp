#include "popup/HotkeyText.h"

#include "text/Text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kx::popup {

namespace {

using platform::KeyCombination;

struct ModifierName
{
    std::string_view portable;
    std::string_view german;
    unsigned bit;
};

constexpr std::array<ModifierName, 4> kModifiers { {
    { "Ctrl", "Strg", platform::HotkeyCtrl },
    { "Alt", "Alt", platform::HotkeyAlt },
    { "Shift", "Umschalt", platform::HotkeyShift },
    { "Meta", "Meta", platform::HotkeyMeta },
} };

// Keys whose German label differs from the portable name; the others keep it (F1, Esc).
constexpr std::array<std::pair<std::string_view, std::string_view>, 16> kGermanKeyNames { {
    { "Space", "Leertaste" },
    { "Backspace", "Rücktaste" },
    { "Return", "Eingabe" },
    { "Ins", "Einfg" },
    { "Del", "Entf" },
    { "Print", "Druck" },
    { "SysReq", "S-Abf" },
    { "Home", "Pos1" },
    { "End", "Ende" },
    { "Left", "Links" },
    { "Up", "Hoch" },
    { "Right", "Rechts" },
    { "Down", "Runter" },
    { "PgUp", "Bild auf" },
    { "PgDown", "Bild ab" },
    { "Menu", "Menü" },
} };

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return text::upperCase(a) == text::upperCase(b);
}

const ModifierName* findModifier(std::string_view name)
{
    for (const ModifierName& modifier : kModifiers)
        if (sameIgnoringCase(name, modifier.portable))
            return &modifier;
    return nullptr;
}

// The named key as the list spells it, empty when there is none of that name.
std::string_view findNamedKey(std::string_view name)
{
    for (std::string_view known : namedKeys())
        if (sameIgnoringCase(name, known))
            return known;
    return {};
}

bool isOneCharacter(std::string_view key) { return text::isValidUtf8(key) && text::toUtf32(key).size() == 1; }

ParsedHotkey invalid(std::string error) { return { std::nullopt, std::move(error) }; }

std::string quoted(std::string_view text) { return "„" + std::string(text) + "“"; }

} // namespace

const std::vector<std::string_view>& namedKeys()
{
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> list { "Space",
            "Esc",
            "Tab",
            "Backspace",
            "Return",
            "Enter",
            "Ins",
            "Del",
            "Pause",
            "Print",
            "SysReq",
            "Home",
            "End",
            "Left",
            "Up",
            "Right",
            "Down",
            "PgUp",
            "PgDown",
            "Menu",
            "Help" };
        static const std::array<std::string, 35> functionKeys = [] {
            std::array<std::string, 35> keys;
            for (std::size_t i = 0; i < keys.size(); ++i)
                keys[i] = "F" + std::to_string(i + 1);
            return keys;
        }();
        list.insert(list.end(), functionKeys.begin(), functionKeys.end());
        return list;
    }();
    return names;
}

ParsedHotkey parseHotkey(std::string_view text)
{
    std::string_view rest = trimBlanks(text);
    if (rest.empty())
        return {};
    KeyCombination combination;
    // A "+" that starts the rest is the key itself ("Ctrl++"), never a separator.
    for (auto plus = rest.find('+', 1); plus != std::string_view::npos; plus = rest.find('+', 1)) {
        const std::string_view name = trimBlanks(rest.substr(0, plus));
        const ModifierName* modifier = findModifier(name);
        if (!modifier)
            return invalid("unbekannte Zusatztaste " + quoted(name));
        if (combination.modifiers & modifier->bit)
            return invalid(std::string(modifier->portable) + " steht zweimal darin");
        combination.modifiers |= modifier->bit;
        rest = trimBlanks(rest.substr(plus + 1));
    }
    if (rest.empty() || findModifier(rest))
        return invalid("die Taste fehlt, es sind nur Zusatztasten angegeben");
    if (isOneCharacter(rest)) {
        combination.key = std::string(rest);
    } else {
        const std::string_view named = findNamedKey(rest);
        if (named.empty())
            return invalid("unbekannte Taste " + quoted(rest));
        combination.key = std::string(named);
    }
    return { combination, {} };
}

std::string germanHotkeyText(const KeyCombination& combination)
{
    std::string result;
    for (const ModifierName& modifier : kModifiers)
        if (combination.modifiers & modifier.bit)
            result += std::string(modifier.german) + "+";
    const auto german = std::find_if(kGermanKeyNames.begin(), kGermanKeyNames.end(), [&](const auto& entry) {
        return entry.first == combination.key;
    });
    if (german != kGermanKeyNames.end())
        result += german->second;
    else
        result += text::upperCase(combination.key);
    return result;
}

} // namespace kx::popup
