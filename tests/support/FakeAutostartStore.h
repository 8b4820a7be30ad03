#pragma once

#include "platform/AutostartStore.h"

#include <map>
#include <set>
#include <string>

namespace kx::test {

// An autostart store in memory: named entries with their command lines, and an optional
// start-up folder holding plain files. Every operation succeeds.
class FakeAutostartStore : public platform::AutostartStore
{
public:
    bool hasEntry(const std::string& name) override { return entries.count(name) != 0; }
    platform::AutostartResult addEntry(const std::string& name, const std::string& commandLine) override
    {
        entries[name] = commandLine;
        return {};
    }
    platform::AutostartResult removeEntry(const std::string& name) override
    {
        entries.erase(name);
        return {};
    }
    std::string startupFolder() override { return folder; }
    bool isPlainFile(const std::string& path) override { return files.count(path) != 0; }
    bool clearAttributes(const std::string&) override { return true; }
    bool deleteFile(const std::string& path) override { return files.erase(path) != 0; }

    std::map<std::string, std::string> entries; // name -> command line
    std::string folder; // "" = the platform has no start-up folder
    std::set<std::string> files;
};

} // namespace kx::test
