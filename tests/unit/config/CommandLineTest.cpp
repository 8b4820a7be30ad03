#include "config/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx::config;

TEST(CommandLine, helpAndVersionAreAnsweredInsteadOfStarting)
{
    const struct
    {
        std::vector<std::string> arguments;
        InformationRequest expected;
    } rows[] = {
        { {}, InformationRequest::none },
        { { "debug" }, InformationRequest::none },
        { { "/AUTOSTART" }, InformationRequest::none },
        { { "-help" }, InformationRequest::none },
        { { "--Help" }, InformationRequest::none },
        { { "--help" }, InformationRequest::usage },
        { { "-h" }, InformationRequest::usage },
        { { "debug", "--help" }, InformationRequest::usage },
        { { "--version" }, InformationRequest::version },
        { { "--version", "--help" }, InformationRequest::version },
    };
    for (const auto& row : rows)
        EXPECT_EQ(informationRequest(row.arguments), row.expected) << testing::PrintToString(row.arguments);
}

TEST(CommandLine, debugModeComesFromTheWholeCommandLine)
{
    const std::vector<std::pair<std::vector<std::string>, bool>> rows = {
        { { "debug" }, true },
        { { "DEBUG" }, true },
        { {}, false },
        { { "/AUTOSTART" }, false },
        { { "-debug" }, false },
        { { "debug", "x" }, false },
        { { "", "debug" }, false },
        { { " debug " }, false }, // quoted with blanks
    };
    for (const auto& [arguments, debug] : rows)
        EXPECT_EQ(isDebugCommandLine(arguments), debug) << testing::PrintToString(arguments);
}

TEST(CommandLine, usageNamesTheDebugWordAndTheOptions)
{
    const std::string usage = programUsage();
    EXPECT_EQ(usage.rfind("usage: kalmotex [debug]\n", 0), 0u) << usage;
    for (const char* option : { "  debug ", "  --help, -h ", "  --version " })
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_EQ(usage.back(), '\n');
}
