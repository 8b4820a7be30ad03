#pragma once

#include "platform/GlobalHotkey.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::popup {

// The stored form of a key combination is Qt's portable text: modifiers first, joined
// with "+", then the key ("Ctrl+Alt+V", "Meta+F12", "Ctrl++").
struct ParsedHotkey
{
    // Nothing when the text is empty (no hotkey) or invalid.
    std::optional<platform::KeyCombination> combination;
    // Why the text is invalid, in German for the user ("unbekannte Taste „Foo“"); empty
    // when it is valid or empty.
    std::string error;
};

// Modifier names are Ctrl, Alt, Shift and Meta, in any case and order; each at most once.
// The key is one character or one of namedKeys(). Blanks around the text are ignored.
ParsedHotkey parseHotkey(std::string_view text);

// The names of keys that type no character, as Qt's portable text writes them.
const std::vector<std::string_view>& namedKeys();

// The combination as a German keyboard labels it: "Strg+Alt+V", "Umschalt+Entf".
std::string germanHotkeyText(const platform::KeyCombination& combination);

} // namespace kx::popup
