#pragma once

#include "store/Entry.h"
#include "text/Result.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kx::platform {
class Prompts;
}

// The entry commands (new, rename, delete) with their questions, and the writes of the
// current entry's fields, so the main window only forwards and shows what changed.
namespace kx::store {

class EntryStore;
struct ShownEntry;

// A new entry as "Neu" creates it: the name, no text, no title, scrambled, no console.
Entry makeNewEntry(std::string name);

// The commands on the entries as the entry list shows them: `names` and `numbers` are the
// list's items in list order. Questions go to the user through `prompts`; a write that
// fails is told once per run, naming the configuration file. The list may be older than
// the file: an entry is written where its name is now, and when another program deleted or
// renamed it, nothing is written and the user is told that the list is read again.
class EntryCommands
{
public:
    EntryCommands(EntryStore& entries, platform::Prompts& prompts);

    struct NewEntry
    {
        std::string name;
        int number = 0;
    };
    // Asks for a name (blanks trimmed) until it is one no item has in any case, or the user
    // keeps the duplicate; then stores it after the last entry the file holds now. Nothing
    // when the user cancelled or gave no name, or the file has no room.
    std::optional<NewEntry> createEntry(const std::vector<std::string>& names);

    // Asks for a new name of the item at `position` (entry `number`), the old one offered;
    // the item's own name in other letters asks nothing more. Stores it and returns it with
    // the entry's number now, 0 when the entry is gone; nothing when cancelled or empty.
    std::optional<NewEntry> renameEntry(
        const std::vector<std::string>& names, std::size_t position, int number);

    // Asks whether the item at `position` should go; on yes, moves the file's highest entry
    // into its number and returns true (the list is to be read again). False when the user
    // said no.
    bool deleteEntry(
        const std::vector<std::string>& names, const std::vector<int>& numbers, std::size_t position);

    // One field of an entry, and its text with `Crypt`, as the editor pane changes them.
    // Each returns the entry's number now; 0 when it is gone.
    int writeField(const ShownEntry& shown, const std::string& field, const std::string& value);
    int writeText(const ShownEntry& shown, const std::string& storedText, bool crypt);

private:
    std::optional<std::string> askName(const std::string& prompt,
        const std::string& title,
        const std::string& defaultText,
        const std::vector<std::string>& names,
        std::optional<std::size_t> ownPosition);
    void report(const text::Result& written);
    // Writes through EntryStore::writeShown and tells the user when the entry is gone.
    int writeShown(const ShownEntry& shown, const std::function<text::Result(int number)>& write);

    EntryStore& m_entries;
    platform::Prompts& m_prompts;
    bool m_failureReported = false;
};

} // namespace kx::store
