#pragma once

#include "store/Entry.h"
#include "text/Result.h"

#include <functional>
#include <string>
#include <vector>

namespace kx::platform {
class Prompts;
}

namespace kx::config {
class ConfigAccess;
}

namespace kx::store {

class RandomSource;

// One line of the entry enumeration: what the entry list and the title list need.
struct EntryListItem
{
    int number = 0;
    std::string name;
    std::string title; // blanks at both ends removed; empty = no title
    std::string hotkey = {}; // the entry's own key combination as stored; empty = none
};

// An entry as a list showed it: the number it had when the list was read, and its name.
struct ShownEntry
{
    int number = 0;
    std::string name;
};

// The entries of the configuration file, read and written field by field at the moment
// they are needed. Holds no entry data itself: the file is the state.
class EntryStore
{
public:
    // The entry list's item count is a 16-bit number: no more entries exist, and the
    // enumeration stops there even if the file names more.
    static constexpr int kMaxEntries = 32767;

    EntryStore(config::ConfigAccess& config, RandomSource& random);

    const std::string& configFilePath() const;
    // The access the entries are read through, for options a send reads beside them.
    config::ConfigAccess& config() const { return m_config; }

    // Entries 1, 2, ... up to the first number whose name is empty or missing: one read
    // of the name, the title and the key combination per entry.
    std::vector<EntryListItem> enumerateEntries() { return listEntries(false); }
    // The same, only those with a key combination of their own: a few, where the full list
    // of a large file is megabytes the allocator keeps after start-up.
    std::vector<EntryListItem> entriesWithHotkeys() { return listEntries(true); }
    // The number of entries n (names only, n + 1 reads).
    int entryCount();

    // An entry number under which nothing is stored yields empty fields and flags off.
    Entry readEntry(int number);
    // Writes all five fields, and the hotkey when it or the stored one is not empty (a file
    // without hotkeys gets no section for them); the text is scrambled afresh when crypt is
    // set. Every field is attempted; a failed one keeps its earlier contents, and the first
    // failure is reported.
    text::Result writeEntry(int number, const Entry& entry);
    // One field ("Name", "Title", "Text", "Crypt", "DosBox", "Hotkey") of one entry, value as
    // stored.
    text::Result writeEntryField(int number, const std::string& section, const std::string& value);
    // Stores an entry's text the way leaving the editor does: `Text` (scrambled afresh when
    // crypt is set), then `Crypt` as "0" or "1".
    text::Result writeText(int number, const std::string& storedText, bool crypt);

    struct Stored
    {
        int number = 0; // 0: nothing stored (see each call)
        text::Result written;
    };
    // Stores `entry` after the last entry the file holds now. The file stays locked from the
    // count to the last field, so an entry another program adds meanwhile is never
    // overwritten. Number 0: no lock, or kMaxEntries there already.
    Stored appendEntry(const Entry& entry);

    // The number that holds the entry `shown` now: its own number while that still holds
    // its name, else the one entry with exactly that name; 0 when no entry or several have
    // it. Another program's delete moves the highest entry into the freed number, so a
    // list read earlier can be out of date.
    int locateEntry(const ShownEntry& shown);
    // Locates `shown` and calls `write` with its number, all under the file's lock, so no
    // other program's change comes between finding the entry and writing it. Number 0:
    // nothing written, because the entry is gone (`written` succeeded) or the file could
    // not be locked.
    Stored writeShown(const ShownEntry& shown, const std::function<text::Result(int number)>& write);

    // Deletes entry `deleted`: the highest entry the file holds now moves into its number,
    // its hotkey with it, and is blanked (empty name and texts, flags "0", no hotkey), all
    // under the file's lock, so an entry another program added meanwhile moves rather than
    // drops out behind the blank.
    // Nothing happens to a number the file no longer holds.
    text::Result deleteEntry(int deleted);

private:
    std::vector<EntryListItem> listEntries(bool onlyWithHotkeys);

    config::ConfigAccess& m_config;
    RandomSource& m_random;
};

// When the configuration file is there but cannot be read, tells the user so (in German)
// and returns true: the program then ends rather than run without its entries, where every
// change would be refused or would replace a file it never read.
bool reportUnreadableConfig(const std::string& path, platform::Prompts& prompts);

} // namespace kx::store
