#pragma once

#include "store/EntryStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace kx::config {
class ConfigAccess;
}
namespace kx::store {
class TeamLibrary;
}

namespace kx::popup {

// What a click on an item asks for.
enum class MenuCommand
{
    Nothing, // separator and "&Abbrechen"
    SendEntry,
    SendTeamEntry, // an entry of the team file
    ShowMainWindow,
    Exit,
};

struct MenuChoice
{
    MenuCommand command = MenuCommand::Nothing;
    int entryNumber = 0; // only for SendEntry and SendTeamEntry

    friend bool operator==(const MenuChoice&, const MenuChoice&) = default;
};

// One element of the popup menu: the text shown and what a click on it means.
struct MenuItem
{
    std::string caption; // "&" marks the access key, "&&" is one ampersand, "-" is a separator
    MenuChoice choice;
    bool enabled = true; // false: drawn greyed, cannot be chosen
    std::string tip = {}; // shown when the pointer rests on the item; empty for none

    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// What the menu shows of the team library: a greyed heading "Team" with `tip`, then the
// team's entries.
struct TeamMenuSection
{
    std::string tip = {}; // the file, or why it cannot be read
    std::vector<store::EntryListItem> entries;
};

// Where the team's entries come from, or why there are none (the heading's tip); empty
// while no team file is set.
std::string teamTip(const store::TeamLibrary& team);

// True for a caption that the menu draws as a separator line.
bool isSeparatorCaption(std::string_view caption);

// The caption as the menu shows it: "&&" becomes "&", a single "&" disappears.
std::string displayedCaption(std::string_view caption);

// True for an item that stands for an entry, one's own or the team's.
bool isEntryItem(const MenuItem& item);

// The items of the popup menu of entries. Elements are numbered from 1, like the menu's
// item array; the model is rebuilt from the configuration before every opening.
class PopupMenu
{
public:
    // Rebuilds the items: the entries in entry-number order (not `sorted`) or sorted
    // like the entry list, then, with a team file, a separator and the team section in the
    // same order, then the five fixed items. `entries` is the enumeration of the
    // configuration file (numbers 1, 2, ... up to the first empty name).
    void rebuild(
        const std::vector<store::EntryListItem>& entries, bool sorted, const TeamMenuSection* team = nullptr);

    // Rebuilds the items from the configuration file as it is now: the names of section
    // `Name` (one read per entry) and the `SortNames` option; with `team`, the team file
    // that `TeamFile` names, read now as well (one's own `SortNames` orders both).
    void rebuild(config::ConfigAccess& config, store::TeamLibrary* team = nullptr);

    // Appends one element.
    void addItem(std::string caption, MenuChoice choice);

    // Number of elements in use; (entries + 5) after every build without a team file.
    int itemCount() const { return static_cast<int>(m_items.size()); }

    // Element `index` (1 .. itemCount()).
    const MenuItem& item(int index) const { return m_items.at(static_cast<std::size_t>(index - 1)); }
    const std::vector<MenuItem>& items() const { return m_items; }

    // The element shown in bold: itemCount() - 3, which is "&Bearbeiten" after a build;
    // 0 when there is none.
    int defaultItemIndex() const;

    // The meaning of a click on element `index`; Nothing for an index out of range.
    MenuChoice choiceFor(int index) const;

private:
    // Positions of `entries` in list-box order (stable for equal names).
    const std::vector<std::size_t>& sortedOrder(const std::vector<store::EntryListItem>& entries);

    std::vector<MenuItem> m_items;
    std::vector<std::size_t> m_sortedOrder; // of the entries the items were last sorted from
    bool m_sortedItems = false; // the entry items are in that order
};

} // namespace kx::popup
