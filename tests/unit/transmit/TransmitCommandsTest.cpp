#include "app/cli/TransmitCommands.h"
#include "app/cli/Cli.h"
#include "support/CliRun.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kx::app::cli {
namespace {

using CliRun = test::CliResult;

class TransmitCommandsTest : public testing::Test
{
protected:
    TransmitCommandsTest()
    {
        addTransmitCommands(m_table, std::make_shared<transmit::FixedClock>(2026, 3, 7, 9, 5, 3));
        const auto inserted = m_dir.write("a.txt", "eins\r\nzwei");
        m_config = m_dir
                       .write("Kalmotex.ini",
                           "[Name]\r\n1=Gruß\r\n2=Konsole\r\n3=Marke\r\n"
                           "[Text]\r\n1=Hallo\\N%JAHR%\\T50% @ %datei="
                               + inserted.string()
                               + "%\r\n2=dir\\N\r\n"
                                 "3=ab%cursor%cd\r\n"
                                 "[DosBox]\r\n2=1\r\n")
                       .string();
    }

    CliRun run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), { "--config", m_config });
        return test::runCli(m_table, arguments, m_dir.file("default.ini").string());
    }

    test::TempDir m_dir;
    CommandTable m_table;
    std::string m_config;
};

TEST_F(TransmitCommandsTest, expandPrintsTheUnescapedExpandedTextAndNothingElse)
{
    const CliRun result = run({ "expand", "1" });
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Hallo\r2026\t50% @ eins\rzwei");
}

TEST_F(TransmitCommandsTest, keysPrintsTheKeystrokeStringOrTheConsolePasteKeys)
{
    EXPECT_EQ(run({ "keys", "1" }).out, "Hallo~2026{TAB}50{%} {@} eins~zwei");
    EXPECT_EQ(run({ "keys", "2" }).out, "+{INSERT}");
    EXPECT_EQ(run({ "keys", "3" }).out, "abcd{LEFT 2}");
    EXPECT_EQ(run({ "keys", "--json", "1" }).out,
        "{\"keys\":\"Hallo~2026{TAB}50{%} {@} eins~zwei\",\"clipboard\":null}\n");
    EXPECT_EQ(run({ "keys", "2", "--json" }).out, "{\"keys\":\"+{INSERT}\",\"clipboard\":\"dir\\r\"}\n");
}

// As kalmotex, which works in the configuration's folder, types them.
TEST_F(TransmitCommandsTest, relativeFileNamesAreLookedUpBesideTheConfiguration)
{
    m_dir.write("sig.txt", "Max\r\n");
    m_config
        = m_dir.write("Kalmotex.ini", "[Name]\r\n1=Signatur\r\n[Text]\r\n1=%datei=sig.txt%\r\n").string();
    const test::TempDir elsewhere;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    const CliRun expanded = run({ "expand", "1" });
    const CliRun keys = run({ "keys", "1" });
    const std::filesystem::path after = std::filesystem::current_path();
    std::filesystem::current_path(before);
    EXPECT_EQ(expanded.out, "Max\r");
    EXPECT_EQ(keys.out, "Max~");
    EXPECT_EQ(after, elsewhere.path());
}

TEST_F(TransmitCommandsTest, rejectsMissingEntriesAndMalformedArguments)
{
    const std::pair<std::vector<std::string>, int> cases[] = {
        { { "expand" }, kExitUsage },
        { { "expand", "x" }, kExitUsage },
        { { "expand", "1", "2" }, kExitUsage },
        { { "expand", "1", "--json" }, kExitUsage },
        { { "keys", "1", "--xml" }, kExitUsage },
        { { "expand", "4" }, kExitFailure },
        { { "keys", "0" }, kExitFailure },
    };
    for (const auto& [arguments, code] : cases) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, code) << arguments.front() << " " << arguments.size();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
}

} // namespace
} // namespace kx::app::cli
