#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kx::config {

// The program's own location. The caller passes the executable's path as the system
// reports it at start-up (Qt's applicationFilePath, or argv[0] resolved).
class AppPaths
{
public:
    explicit AppPaths(const std::string& executablePath);

    // The folder that holds the program file, ending in "/".
    const std::string& AppFolder() const { return m_appFolder; }
    // AppFolder and the program file's name; on Windows the name without its extension
    // followed by ".exe".
    const std::string& AppExePath() const { return m_appExePath; }

private:
    std::string m_appFolder;
    std::string m_appExePath;
};

// An environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> processEnvironment(const std::string& name);

// Whether a new file can be created in `folder` (tried with a probe file, since permission
// bits do not tell the whole story).
bool isWritableFolder(const std::string& folder);

struct ConfigLocation
{
    std::string folder; // ends in "/"
    std::string file; // folder + "Kalmotex.ini"
    bool besideProgram = false; // a portable copy or a build folder
};

// Where the configuration lives: beside the program when its folder is writable, else in
// $XDG_CONFIG_HOME/kalmotex/ (default ~/.config/kalmotex/; %APPDATA%/Kalmotex/ on
// Windows). Creates that per-user folder when it is chosen and missing.
ConfigLocation locateConfig(const std::string& appFolder,
    const EnvironmentLookup& environment = processEnvironment);

} // namespace kx::config
