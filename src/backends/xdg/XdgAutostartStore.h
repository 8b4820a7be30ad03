#pragma once

#include "platform/AutostartStore.h"

#include <filesystem>
#include <string>

namespace kx::platform {

// Autostart on Linux desktops (XDG Autostart): an entry is the desktop entry file
// "<name>.desktop" in the user's autostart folder, which every XDG desktop runs at log-in.
// There is no folder of start-up shortcuts.
class XdgAutostartStore : public AutostartStore
{
public:
    explicit XdgAutostartStore(std::filesystem::path folder);

    // The entry exists, unless the desktop switched it off (Hidden=true).
    bool hasEntry(const std::string& name) override;
    // Creates the folder when missing; the file is replaced in one step, so a desktop that
    // reads it meanwhile sees the old entry or the complete new one.
    text::Result addEntry(
        const std::string& name, const std::string& program, const std::string& arguments) override;
    text::Result removeEntry(const std::string& name) override;

    std::string startupFolder() override { return {}; }
    bool isPlainFile(const std::string&) override { return false; }
    bool clearAttributes(const std::string&) override { return false; }
    bool deleteFile(const std::string&) override { return false; }

    std::filesystem::path entryFile(const std::string& name) const;

private:
    std::filesystem::path m_folder;
};

// $XDG_CONFIG_HOME/autostart when that variable holds an absolute path, else
// $HOME/.config/autostart (null or empty arguments count as unset).
std::filesystem::path autostartFolder(const char* xdgConfigHome, const char* home);
// The same from this process's environment (the home from the user database when HOME is unset).
std::filesystem::path currentAutostartFolder();

// The file "[Desktop Entry]" that starts `program` with `arguments` (already in the
// Exec syntax), named `title`.
std::string desktopEntryText(
    const std::string& title, const std::string& program, const std::string& arguments);
// One argument of an Exec key: quoted only when it holds a blank or another reserved
// character, with the escapes a desktop entry's Exec line needs; "%" is doubled so
// it is no field code.
std::string execArgument(const std::string& argument);

} // namespace kx::platform
