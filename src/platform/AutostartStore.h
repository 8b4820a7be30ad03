#pragma once

#include "text/Result.h"

#include <string>

namespace kx::platform {

// The per-user mechanism that starts programs when the user logs on: the registry's Run
// key on Windows, the XDG autostart folder on Linux desktops. Entries are named; an
// entry starts a program with arguments, joined into a command line the way the platform
// writes one (the Run value unquoted, a desktop entry's Exec quoted where needed). Some
// platforms also know a folder of start-up shortcuts, which the program replaces by an
// entry.
class AutostartStore
{
public:
    virtual ~AutostartStore() = default;

    virtual bool hasEntry(const std::string& name) = 0;
    // Creates the entry or replaces what it starts. Failure changes nothing; its reason says
    // where and what the system said ("/home/ute/.config/autostart/[Kalmotex].desktop:
    // Permission denied").
    virtual text::Result addEntry(
        const std::string& name, const std::string& program, const std::string& arguments)
        = 0;
    // A missing entry is no failure; a failure changes nothing.
    virtual text::Result removeEntry(const std::string& name) = 0;

    // The folder of start-up shortcuts, or "" when the platform has none.
    virtual std::string startupFolder() = 0;
    // Whether `path` is a plain file there (neither hidden nor a system file).
    virtual bool isPlainFile(const std::string& path) = 0;
    // Makes the file deletable (clears read-only and similar attributes).
    virtual bool clearAttributes(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
};

} // namespace kx::platform
