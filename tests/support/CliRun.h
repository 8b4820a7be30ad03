#pragma once

#include "app/cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace kx::test {

// What one kalmotex-cli command line gave: its exit code and everything it printed.
struct CliResult
{
    int code = -1;
    std::string out;
    std::string err;
};

// Runs `arguments` through the same dispatch as the kalmotex-cli executable.
inline CliResult runCli(const app::cli::CommandTable& table,
    const std::vector<std::string>& arguments,
    const std::string& defaultConfig = "")
{
    std::ostringstream out, err;
    const int code = app::cli::runCli(arguments, defaultConfig, table, out, err);
    return { code, out.str(), err.str() };
}

} // namespace kx::test
