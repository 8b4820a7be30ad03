#include "config/AppPaths.h"

#include "config/ConfigAccess.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kx::config {

namespace fs = std::filesystem;

AppPaths::AppPaths(const std::string& executablePath)
{
    std::error_code ec;
    fs::path program = fs::absolute(fs::path(executablePath), ec);
    if (ec)
        program = executablePath;
    program = program.lexically_normal();
    m_appFolder = withTrailingSlash(program.parent_path().generic_string());
#ifdef _WIN32
    m_appExePath = m_appFolder + program.stem().string() + ".exe";
#else
    m_appExePath = m_appFolder + program.filename().string();
#endif
}

std::optional<std::string> processEnvironment(const std::string& name)
{
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    return std::nullopt;
}

bool isWritableFolder(const std::string& folder)
{
    static std::atomic<unsigned> counter { 0 };
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path probe
        = fs::path(folder) / (".kalmotex-probe-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::FILE* file = std::fopen(probe.string().c_str(), "wbx");
    if (!file)
        return false;
    std::fclose(file);
    std::error_code ignored;
    fs::remove(probe, ignored);
    return true;
}

namespace {

// XDG base directories must be absolute; anything else is to be ignored.
std::optional<fs::path> absoluteVariable(const EnvironmentLookup& environment, const std::string& name)
{
    const auto value = environment(name);
    if (!value || value->empty() || !fs::path(*value).is_absolute())
        return std::nullopt;
    return fs::path(*value);
}

std::optional<fs::path> perUserFolder(const EnvironmentLookup& environment)
{
#ifdef _WIN32
    if (const auto appData = absoluteVariable(environment, "APPDATA"))
        return *appData / "Kalmotex";
#else
    if (const auto xdg = absoluteVariable(environment, "XDG_CONFIG_HOME"))
        return *xdg / "kalmotex";
    if (const auto home = absoluteVariable(environment, "HOME"))
        return *home / ".config" / "kalmotex";
#endif
    return std::nullopt;
}

bool isFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

} // namespace

std::optional<std::string> installedDataFolder(const std::string& appFolder)
{
    const fs::path program(appFolder);
    if (isFile(program / "sample.ini") || isFile(program / "Kalmotex.ini"))
        return std::nullopt;
    const fs::path shared = (program / ".." / "share" / "kalmotex").lexically_normal();
    if (!isFile(shared / "sample.ini"))
        return std::nullopt;
    return withTrailingSlash(shared.generic_string());
}

std::string dataFolder(const std::string& appFolder)
{
    return installedDataFolder(appFolder).value_or(withTrailingSlash(appFolder));
}

ConfigLocation locateConfig(const std::string& appFolder, const EnvironmentLookup& environment)
{
    ConfigLocation location;
    const auto perUser = perUserFolder(environment);
    // An installed program's folder may well be writable (root, a prefix under the home
    // folder), but it is shared and not the place for one user's snippets.
    const bool portable = !installedDataFolder(appFolder) && isWritableFolder(appFolder);
    if (portable || !perUser) {
        location.folder = withTrailingSlash(appFolder);
        location.besideProgram = true;
    } else {
        std::error_code ignored;
        fs::create_directories(*perUser, ignored);
        location.folder = withTrailingSlash(perUser->generic_string());
    }
    location.file = location.folder + "Kalmotex.ini";
    return location;
}

} // namespace kx::config
