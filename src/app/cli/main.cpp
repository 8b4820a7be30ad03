#include "app/cli/Cli.h"
#include "app/cli/InstanceCommands.h"
#include "app/cli/TransmitCommands.h"
#ifdef _WIN32
#include "backends/win32/NamedPipeClient.h"
#else
#include "backends/posix/UnixSocketClient.h"
#endif

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using namespace kx::app::cli;
    CommandTable table;
    addStoreCommands(table);
    addTransmitCommands(table);
#ifdef _WIN32
    kx::platform::win32::NamedPipeClient instanceClient(kx::app::kMaxInstanceLineLength);
    addInstanceCommands(table,
        instanceClient,
        { kx::platform::win32::currentInstancePipe(), "this session" });
#else
    kx::platform::posix::UnixSocketClient instanceClient(kx::app::kMaxInstanceLineLength);
    addInstanceCommands(table,
        instanceClient,
        displayInstanceTarget(kx::app::currentInstanceEnvironment(kx::platform::posix::currentUserId())));
#endif
    // Further command groups register here, one line each.

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return runCli(
        arguments,
        [argv0 = std::string(argc > 0 ? argv[0] : "")] { return defaultConfigPath(argv0); },
        table,
        std::cout,
        std::cerr);
}
