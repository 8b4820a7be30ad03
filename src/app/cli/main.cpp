#include "app/cli/Cli.h"
#include "app/cli/TransmitCommands.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace kx::app::cli;
    CommandTable table;
    addStoreCommands(table);
    addTransmitCommands(table);
    // Further command groups register here, one line each.

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runCli(arguments, defaultConfigPath(), table, std::cout, std::cerr);
}
