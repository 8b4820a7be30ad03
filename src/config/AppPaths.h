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

// The folder an installed program keeps its shared files in (sample.ini, signatur.txt, the
// help page): <prefix>/share/kalmotex/ for a program in <prefix>/bin/, ending in "/". Nothing
// for a portable copy or a build folder: they have sample.ini or Kalmotex.ini beside the
// program, or no such shared folder holding a sample.ini.
std::optional<std::string> installedDataFolder(const std::string& appFolder);

// Where sample.ini and the help page are looked up: the installed data folder, else the
// program's own folder. Ends in "/".
std::string dataFolder(const std::string& appFolder);

struct ConfigLocation
{
    std::string folder; // ends in "/"
    std::string file; // folder + "Kalmotex.ini"
    bool besideProgram = false; // a portable copy or a build folder
};

// Where the configuration lives: beside a portable copy or a build folder when its folder is
// writable, else (and always for an installed program, see installedDataFolder) in
// $XDG_CONFIG_HOME/kalmotex/ (default ~/.config/kalmotex/; %APPDATA%/Kalmotex/ on
// Windows). Creates that per-user folder when it is chosen and missing. Without any per-user
// folder (no HOME) the program's folder is the last resort.
ConfigLocation locateConfig(const std::string& appFolder,
    const EnvironmentLookup& environment = processEnvironment);

} // namespace kx::config
