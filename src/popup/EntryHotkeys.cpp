#include "popup/EntryHotkeys.h"

#include "popup/HotkeyText.h"

#include <algorithm>

namespace kx::popup {

namespace {

// The first of `entries` other than `number` whose stored text names `combination`.
const store::EntryListItem* holderOf(
    const platform::KeyCombination& combination, int number, const std::vector<store::EntryListItem>& entries)
{
    for (const store::EntryListItem& entry : entries)
        if (entry.number != number && parseHotkey(entry.hotkey).combination == combination)
            return &entry;
    return nullptr;
}

} // namespace

std::vector<EntryHotkey> usableEntryHotkeys(const std::vector<store::EntryListItem>& entries,
    const std::optional<platform::KeyCombination>& menu)
{
    std::vector<EntryHotkey> usable;
    for (const store::EntryListItem& entry : entries) {
        const std::optional<platform::KeyCombination> combination = parseHotkey(entry.hotkey).combination;
        if (!combination || combination == menu
            || std::any_of(usable.begin(), usable.end(), [&](const EntryHotkey& earlier) {
                   return earlier.combination == *combination;
               }))
            continue;
        usable.push_back({ entry.number, entry.name, *combination });
    }
    return usable;
}

std::string entryHotkeyRefusal(int number,
    const platform::KeyCombination& combination,
    const std::vector<store::EntryListItem>& entries,
    const std::optional<platform::KeyCombination>& menu)
{
    const std::string shown = "Die Tastenkombination " + germanHotkeyText(combination);
    if (combination == menu)
        return shown + " öffnet schon das Menü.";
    if (const store::EntryListItem* holder = holderOf(combination, number, entries))
        return shown + " ist schon dem Textbaustein »" + holder->name + "« zugeordnet.";
    return {};
}

} // namespace kx::popup
