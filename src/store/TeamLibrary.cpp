#include "store/TeamLibrary.h"

#include "config/ConfigAccess.h"
#include "config/FileSystem.h"

#include <cstdio>
#include <filesystem>

namespace kx::store {

TeamLibrary::TeamLibrary(RandomSource& random)
    : m_random(random)
{
}

TeamLibrary::~TeamLibrary() = default;

TeamLibrary::State TeamLibrary::refresh(config::ConfigAccess& own)
{
    const std::string named = own.readIniString("Common", "TeamFile", "");
    std::string path;
    if (!named.empty()) {
        const std::filesystem::path given(named);
        path = given.is_absolute() ? named
                                   : (std::filesystem::path(own.fileName()).parent_path() / given).string();
    }
    if (path != m_path || !m_config) {
        m_path = path;
        m_entries.reset();
        m_config.reset();
        if (!m_path.empty()) {
            // Kept while the path stays the same, so that an unchanged file is not parsed again.
            m_config = std::make_unique<config::ConfigAccess>(m_path);
            m_entries = std::make_unique<EntryStore>(*m_config, m_random);
        }
    }
    m_writable = false;
    if (m_path.empty()) {
        m_state = State::none;
        return m_state;
    }
    switch (config::inspectConfigFile(m_path)) {
    case config::ConfigFileState::missing:
        m_state = State::missing;
        break;
    case config::ConfigFileState::unreadable:
        m_state = State::unreadable;
        break;
    case config::ConfigFileState::readable:
        m_state = State::readable;
        // Asking the system is the only honest test: permissions, a read-only share and
        // access lists all end up here.
        if (std::FILE* file = config::openFile(m_path, "r+b")) {
            m_writable = true;
            std::fclose(file);
        }
        break;
    }
    return m_state;
}

std::vector<EntryListItem> TeamLibrary::enumerateEntries()
{
    if (m_state != State::readable || !m_entries)
        return {};
    return m_entries->enumerateEntries();
}

} // namespace kx::store
