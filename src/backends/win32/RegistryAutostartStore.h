#pragma once

#include "platform/AutostartStore.h"

#include <string>

namespace kx::platform::win32 {

// Autostart through the registry: an entry is a string value (REG_SZ) under the current
// user's key SOFTWARE\Microsoft\Windows\CurrentVersion\Run, named after the entry, its
// data the program's path, a blank and the arguments, the path not quoted (as the
// program has always written it). The folder of start-up shortcuts is the "Startup"
// value of the current user's Explorer\Shell Folders key.
class RegistryAutostartStore : public AutostartStore
{
public:
    // Where the values live, below HKEY_CURRENT_USER; tests point them elsewhere.
    struct Keys
    {
        std::wstring run = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
        std::wstring shellFolders = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    };

    RegistryAutostartStore() = default;
    explicit RegistryAutostartStore(Keys keys);

    bool hasEntry(const std::string& name) override;
    // Creates the Run key when it is missing.
    text::Result addEntry(
        const std::string& name, const std::string& program, const std::string& arguments) override;
    text::Result removeEntry(const std::string& name) override;

    std::string startupFolder() override;
    bool isPlainFile(const std::string& path) override;
    bool clearAttributes(const std::string& path) override;
    bool deleteFile(const std::string& path) override;

    // The value's data for a program and its arguments: "C:\Program Files\Kalmotex.exe /AUTOSTART".
    static std::string commandLine(const std::string& program, const std::string& arguments);

private:
    Keys m_keys;
};

} // namespace kx::platform::win32
