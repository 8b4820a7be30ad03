#include "popup/PopupMenu.h"

#include "app/ConfigAccess.h"
#include "app/Text.h"
#include "store/Options.h"
#include "store/Val.h"

#include <algorithm>
#include <numeric>

namespace kx::popup {

PumChoice pumChoiceForTag(std::string_view tag)
{
    const auto number = store::Val(tag);
    const auto rounded = number ? store::roundToInt16(*number) : std::nullopt;
    if (!rounded)
        return {};
    const int value = *rounded;
    if (value >= 1)
        return { PumCommand::SendEntry, value };
    if (value == -2)
        return { PumCommand::ShowMainWindow, 0 };
    if (value == -3)
        return { PumCommand::Exit, 0 };
    return {};
}

bool isSeparatorCaption(std::string_view caption) { return caption == "-"; }

void PopupMenu::fillPum(const std::vector<store::EntryListItem>& entries, int sortNames)
{
    m_items.clear();
    m_items.reserve(entries.size() + 5);

    if (sortNames == 0) {
        for (const auto& entry : entries)
            addPumItem(entry.name, std::to_string(entry.number));
    } else {
        std::vector<std::size_t> order(entries.size());
        std::iota(order.begin(), order.end(), std::size_t { 0 });
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return app::compareForSortedList(entries[a].name, entries[b].name) < 0;
        });
        for (std::size_t i : order)
            addPumItem(entries[i].name, std::to_string(entries[i].number));
    }

    addPumItem("-", std::string(separatorTag));
    addPumItem("&Bearbeiten", std::string(editTag));
    addPumItem("-", std::string(separatorTag));
    addPumItem("&Abbrechen", std::string(cancelTag));
    addPumItem("B&eenden", std::string(exitTag));
}

void PopupMenu::fillPum(app::ConfigAccess& config, const std::string& configFile)
{
    // One version of the file for the whole build, and one freshness check instead of one
    // per entry.
    const app::ConfigAccess::ReadScope scope(config);
    const int sortNames = store::GetSortNamesOption(config, configFile);
    std::vector<store::EntryListItem> entries;
    for (int number = 1;; ++number) {
        std::string name = config.readIniString("Name", std::to_string(number), "", configFile);
        if (name.empty())
            break;
        entries.push_back({ number, std::move(name), {} });
    }
    fillPum(entries, sortNames);
}

void PopupMenu::addPumItem(std::string caption, std::string tag)
{
    m_items.push_back({ std::move(caption), std::move(tag) });
}

int PopupMenu::defaultItemIndex() const { return std::max(0, pumItemCount() - 3); }

PumChoice PopupMenu::choiceFor(int index) const
{
    if (index < 1 || index > pumItemCount())
        return {};
    return pumChoiceForTag(item(index).tag);
}

} // namespace kx::popup
