#pragma once

#include "platform/GlobalHotkey.h"
#include "store/EntryStore.h"

#include <optional>
#include <string>
#include <vector>

namespace kx::popup {

// An entry's own key combination, ready to be held for it.
struct EntryHotkey
{
    int number = 0;
    std::string name;
    platform::KeyCombination combination;

    friend bool operator==(const EntryHotkey&, const EntryHotkey&) = default;
};

// The combinations of `entries` that can be held beside the menu's (`menu`, when it has
// one): each valid one once, for the lowest-numbered entry naming it. Texts that name no
// combination and combinations the menu or an earlier entry has are left out; only a hand
// edit of the file makes such.
std::vector<EntryHotkey> usableEntryHotkeys(const std::vector<store::EntryListItem>& entries,
    const std::optional<platform::KeyCombination>& menu);

// Why entry `number` cannot have `combination`: the menu opens with it, or another of
// `entries` has it. A German message naming the holder; empty when neither is the case.
std::string entryHotkeyRefusal(int number,
    const platform::KeyCombination& combination,
    const std::vector<store::EntryListItem>& entries,
    const std::optional<platform::KeyCombination>& menu);

} // namespace kx::popup
