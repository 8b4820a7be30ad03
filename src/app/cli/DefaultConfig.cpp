#include "app/cli/Cli.h"

#include "config/AppPaths.h"

#include <filesystem>

namespace kx::app::cli {

std::string defaultConfigPath(const std::string& argv0)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // Linux names the running executable here; elsewhere argv[0] made absolute serves.
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty())
        exe = fs::absolute(argv0, ec);
    return config::locateConfig(config::AppPaths(exe.string()).AppFolder()).file;
}

} // namespace kx::app::cli
