#include "app/cli/Cli.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kx::app::cli {

namespace fs = std::filesystem;

// Beside the executable when that folder is writable (a portable copy, a build folder),
// otherwise under the user's configuration folder.
std::string defaultConfigPath()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path folder = exe.parent_path();
        const fs::path probe = folder / ".kalmotex-write-probe";
        const bool writable = static_cast<bool>(std::ofstream(probe));
        fs::remove(probe, ec);
        if (writable)
            return (folder / "Kalmotex.ini").string();
    }
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    return (base / "kalmotex" / "Kalmotex.ini").string();
}

} // namespace kx::app::cli
