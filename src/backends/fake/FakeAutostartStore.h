#pragma once

#include "platform/AutostartStore.h"

#include <map>
#include <set>
#include <string>

namespace kx::platform {

// A shortcut file in the fake start-up folder.
struct FakeStartupFile
{
    bool hidden = false; // hidden or system: not found by the search for plain files
    bool attributesStick = false; // clearing its attributes fails
    bool undeletable = false;
};

// An autostart store in memory, with a start-up folder of shortcut files, for tests.
// Entries hold the command line as the Windows Run value would: program, blank, arguments.
class FakeAutostartStore : public AutostartStore
{
public:
    bool hasEntry(const std::string& name) override { return m_entries.contains(name); }
    text::Result addEntry(
        const std::string& name, const std::string& program, const std::string& arguments) override;
    text::Result removeEntry(const std::string& name) override;

    std::string startupFolder() override { return m_startupFolder; }
    bool isPlainFile(const std::string& path) override;
    bool clearAttributes(const std::string& path) override;
    bool deleteFile(const std::string& path) override;

    // The entries by name, with their command lines.
    const std::map<std::string, std::string>& entries() const { return m_entries; }
    void setEntry(const std::string& name, const std::string& commandLine) { m_entries[name] = commandLine; }

    void setStartupFolder(std::string folder) { m_startupFolder = std::move(folder); }
    using File = FakeStartupFile;
    void addFile(const std::string& path, File file = {}) { m_files[path] = file; }
    bool fileExists(const std::string& path) const { return m_files.contains(path); }

    // Every add and remove fails with this reason while it is not empty; nothing changes.
    void setFailure(std::string reason) { m_failure = std::move(reason); }

private:
    std::map<std::string, std::string> m_entries;
    std::string m_startupFolder;
    std::map<std::string, File> m_files;
    std::string m_failure;
};

} // namespace kx::platform
