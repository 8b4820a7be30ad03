#include "store/EntryCommands.h"

#include "text/Text.h"

#include <utility>

namespace kx::store {

std::optional<std::size_t> findDuplicateName(const std::vector<std::string>& names,
    std::string_view candidate,
    std::optional<std::size_t> skipPosition)
{
    const std::string wanted = text::upperCase(candidate);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (skipPosition && *skipPosition == i)
            continue;
        if (text::upperCase(names[i]) == wanted)
            return i;
    }
    return std::nullopt;
}

HighestEntry highestEntryNumber(const std::vector<int>& itemNumbers)
{
    HighestEntry highest;
    for (std::size_t i = 0; i < itemNumbers.size(); ++i) {
        if (itemNumbers[i] > highest.number) {
            highest.number = itemNumbers[i];
            highest.position = i;
        }
    }
    return highest;
}

std::optional<DeletePlan> planDelete(const std::vector<int>& itemNumbers, std::size_t position)
{
    if (position >= itemNumbers.size())
        return std::nullopt;
    const HighestEntry highest = highestEntryNumber(itemNumbers);
    if (!highest.position)
        return std::nullopt;
    return DeletePlan { itemNumbers[position], highest.number, *highest.position };
}

void applyDeleteToList(std::vector<int>& itemNumbers, std::size_t position, const DeletePlan& plan)
{
    itemNumbers.at(plan.highestPosition) = plan.deleted;
    itemNumbers.erase(itemNumbers.begin() + static_cast<std::ptrdiff_t>(position));
}

Entry makeNewEntry(std::string name)
{
    Entry entry;
    entry.name = std::move(name);
    entry.crypt = true;
    return entry;
}

} // namespace kx::store
