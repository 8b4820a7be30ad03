#include "popup/PopupMenu.h"

#include "config/ConfigAccess.h"
#include "store/Options.h"
#include "store/TeamLibrary.h"
#include "text/Text.h"

#include <algorithm>
#include <numeric>

namespace kx::popup {

bool isSeparatorCaption(std::string_view caption) { return caption == "-"; }

std::string displayedCaption(std::string_view caption)
{
    std::string text;
    text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        text += caption[i];
    }
    return text;
}

bool isEntryItem(const MenuItem& item)
{
    return item.choice.command == MenuCommand::SendEntry || item.choice.command == MenuCommand::SendTeamEntry;
}

void PopupMenu::rebuild(
    const std::vector<store::EntryListItem>& entries, bool sorted, const TeamMenuSection* team)
{
    if (!sorted) {
        m_items.clear();
        m_items.reserve(entries.size() + 5);
        for (const auto& entry : entries)
            addItem(entry.name, { MenuCommand::SendEntry, entry.number });
        m_sortedItems = false;
    } else {
        // Before the items go: they tell whether the last order still holds.
        const std::vector<std::size_t>& order = sortedOrder(entries);
        m_items.clear();
        m_items.reserve(entries.size() + 5);
        for (std::size_t i : order)
            addItem(entries[i].name, { MenuCommand::SendEntry, entries[i].number });
        m_sortedItems = true;
    }

    if (team) {
        addItem("-", {});
        m_items.push_back({ "Team", {}, false, team->tip });
        std::vector<std::string_view> names;
        for (const auto& entry : team->entries)
            names.push_back(entry.name);
        std::vector<std::size_t> order(names.size());
        std::iota(order.begin(), order.end(), std::size_t { 0 });
        if (sorted)
            order = text::sortedListOrder(names);
        for (std::size_t i : order)
            addItem(team->entries[i].name, { MenuCommand::SendTeamEntry, team->entries[i].number });
    }

    addItem("-", {});
    addItem("&Bearbeiten", { MenuCommand::ShowMainWindow, 0 });
    addItem("-", {});
    addItem("&Abbrechen", {});
    addItem("B&eenden", { MenuCommand::Exit, 0 });
}

const std::vector<std::size_t>& PopupMenu::sortedOrder(const std::vector<store::EntryListItem>& entries)
{
    // Sorting 32,767 names by the list-box collation is the costliest step of an opening;
    // the names rarely change between two openings, so the last order is kept for them.
    // The captions of the last sorted build are the names that order was made for, in that
    // order: each entry is compared with the caption its place in the order gave it.
    if (m_sortedItems && m_sortedOrder.size() == entries.size() && m_items.size() >= entries.size()) {
        bool sameNames = true;
        for (std::size_t k = 0; k < m_sortedOrder.size() && sameNames; ++k)
            sameNames = entries[m_sortedOrder[k]].name == m_items[k].caption;
        if (sameNames)
            return m_sortedOrder;
    }
    std::vector<std::string_view> names;
    names.reserve(entries.size());
    for (const auto& entry : entries)
        names.push_back(entry.name);
    m_sortedOrder = text::sortedListOrder(names);
    return m_sortedOrder;
}

std::string teamTip(const store::TeamLibrary& team)
{
    switch (team.state()) {
    case store::TeamLibrary::State::missing:
        return "Die Team-Datei fehlt: " + team.path();
    case store::TeamLibrary::State::unreadable:
        return "Die Team-Datei kann nicht gelesen werden: " + team.path();
    case store::TeamLibrary::State::readable:
        return (team.writable() ? "Team-Datei: " : "Team-Datei (schreibgeschützt): ") + team.path();
    case store::TeamLibrary::State::none:
        break;
    }
    return {};
}

void PopupMenu::rebuild(config::ConfigAccess& config, store::TeamLibrary* team)
{
    // One version of the file for the whole build, and one freshness check instead of one
    // per entry.
    const config::ConfigAccess::ReadScope scope(config);
    const bool sorted = store::loadSortNamesOption(config);
    std::vector<store::EntryListItem> entries;
    for (int number = 1;; ++number) {
        std::string name = config.readIniString("Name", std::to_string(number), "");
        if (name.empty())
            break;
        entries.push_back({ number, std::move(name), {} });
    }
    if (team && team->refresh(config) != store::TeamLibrary::State::none) {
        const TeamMenuSection section { teamTip(*team), team->enumerateEntries() };
        rebuild(entries, sorted, &section);
        return;
    }
    rebuild(entries, sorted);
}

void PopupMenu::addItem(std::string caption, MenuChoice choice)
{
    m_items.push_back({ std::move(caption), choice });
}

int PopupMenu::defaultItemIndex() const { return std::max(0, itemCount() - 3); }

MenuChoice PopupMenu::choiceFor(int index) const
{
    if (index < 1 || index > itemCount())
        return {};
    return item(index).choice;
}

} // namespace kx::popup
