#pragma once

#include "store/Entry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of the entry commands (new, rename, delete) on the entry list's contents, so
// the main window's handlers only ask, call and update the list.
namespace kx::store {

// The position of the first name equal to `candidate` when both are upper-cased, skipping
// position `skipPosition` (the entry being renamed); nothing when there is none.
std::optional<std::size_t> findDuplicateName(const std::vector<std::string>& names,
    std::string_view candidate,
    std::optional<std::size_t> skipPosition = std::nullopt);

// The highest entry number among the list's item numbers (in list order) and the first
// position that carries it; number 0 and no position for an empty list.
struct HighestEntry
{
    int number = 0;
    std::optional<std::size_t> position;
};
HighestEntry highestEntryNumber(const std::vector<int>& itemNumbers);

// What deleting the item at `position` does: `EntryStore::deleteEntry(deleted, highest)`,
// then the item at `highestPosition` takes the number `deleted`, then the item at
// `position` is removed. Nothing when `position` is not an item.
struct DeletePlan
{
    int deleted = 0;
    int highest = 0;
    std::size_t highestPosition = 0;
};
std::optional<DeletePlan> planDelete(const std::vector<int>& itemNumbers, std::size_t position);
// The list side of a delete: renumbers and removes items as the plan says.
void applyDeleteToList(std::vector<int>& itemNumbers, std::size_t position, const DeletePlan& plan);

// A new entry as "Neu" creates it: the name, no text, no title, scrambled, no console.
Entry makeNewEntry(std::string name);

} // namespace kx::store
