#pragma once

#include <string>

namespace kx::platform {

struct AutostartResult
{
    bool ok = true;
    std::string error; // what was attempted and what the system said, for debug output
};

// The per-user mechanism that starts programs when the user logs on: the registry's Run
// key on Windows, the XDG autostart folder on Linux desktops. Entries are named; an
// entry's data is the command line it starts. Some platforms also know a folder of
// start-up shortcuts, which the program replaces by an entry.
class AutostartStore
{
public:
    virtual ~AutostartStore() = default;

    virtual bool hasEntry(const std::string& name) = 0;
    // Creates the entry or replaces its command line.
    virtual AutostartResult addEntry(const std::string& name, const std::string& commandLine) = 0;
    // A missing entry is no failure.
    virtual AutostartResult removeEntry(const std::string& name) = 0;

    // The folder of start-up shortcuts, or "" when the platform has none.
    virtual std::string startupFolder() = 0;
    // Whether `path` is a plain file there (neither hidden nor a system file).
    virtual bool isPlainFile(const std::string& path) = 0;
    // Makes the file deletable (clears read-only and similar attributes).
    virtual bool clearAttributes(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
};

} // namespace kx::platform
