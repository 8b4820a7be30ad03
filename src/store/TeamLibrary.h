#pragma once

#include "store/EntryStore.h"

#include <memory>
#include <string>
#include <vector>

namespace kx::config {
class ConfigAccess;
}

namespace kx::store {

class RandomSource;

// A second configuration file that a team shares (on a network share, in a synchronised
// folder), named by `TeamFile` in section `Common` of the user's own file. Its entries are
// stored exactly like one's own and are read and written through the same profile-file
// code, so two people writing it at once lose nothing: every write locks the file, re-reads
// it and renames a complete new file over it.
class TeamLibrary
{
public:
    enum class State
    {
        none, // no `TeamFile` is set
        missing,
        unreadable, // a folder, a file whose bytes cannot be read
        readable,
    };

    explicit TeamLibrary(RandomSource& random);
    ~TeamLibrary();
    TeamLibrary(const TeamLibrary&) = delete;
    TeamLibrary& operator=(const TeamLibrary&) = delete;

    // Reads `TeamFile` from `own` and looks at the file it names, as it is now. A relative
    // path counts from the folder of the own file. Call before every use: the file may
    // have appeared, gone or changed since.
    State refresh(config::ConfigAccess& own);

    State state() const { return m_state; }
    // The team file's path as used (empty while none is set).
    const std::string& path() const { return m_path; }
    // Whether the file could be opened for writing at the last refresh().
    bool writable() const { return m_writable; }

    // The team's entries, read now; empty unless the file is readable.
    std::vector<EntryListItem> enumerateEntries();
    // The entries of the team file, for a send; null while no file is set.
    EntryStore* entries() { return m_entries.get(); }

private:
    RandomSource& m_random;
    State m_state = State::none;
    std::string m_path;
    bool m_writable = false;
    std::unique_ptr<config::ConfigAccess> m_config;
    std::unique_ptr<EntryStore> m_entries;
};

} // namespace kx::store
