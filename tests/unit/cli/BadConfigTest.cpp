// Configuration files that cannot be read, given to kalmotex-cli and to the program's start:
// each is refused with a message and never written. (Odd but readable files: IniFileTest and
// MainWindowTest.startsOverAnOddFile.)

#include "app/cli/Cli.h"
#include "config/ConfigAccess.h"
#include "store/EntryStore.h"
#include "support/CliRun.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

using kx::test::readBytes;
using kx::test::TempDir;
namespace cli = kx::app::cli;
namespace fs = std::filesystem;

namespace {

using Result = kx::test::CliResult;

Result runCli(const fs::path& config, std::vector<std::string> arguments)
{
    cli::CommandTable table;
    cli::addStoreCommands(table);
    arguments.insert(arguments.begin(), { "--config", config.string() });
    return kx::test::runCli(table, arguments);
}

// The message the program shows before it ends, and whether it showed one.
std::vector<std::string> programStartMessages(const fs::path& config)
{
    kx::test::ScriptedPrompts prompts;
    kx::store::reportUnreadableConfig(config.string(), prompts);
    std::vector<std::string> texts;
    for (const auto& shown : prompts.shown())
        texts.push_back(shown.text);
    return texts;
}

std::string unreadableMessage(const fs::path& config)
{
    return "Die Konfigurationsdatei '" + config.string()
        + "' kann nicht gelesen werden. Kalmotex wird beendet, damit sie nicht überschrieben wird.";
}

void expectRefused(const fs::path& config, const char* what)
{
    const std::string message = "kalmotex-cli: cannot read " + config.string() + "\n";
    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>> { { "list" },
             { "show", "1" },
             { "add", "Neu" },
             { "set", "1", "name", "Neu" },
             { "ignore", "add", "x" } }) {
        const Result result = runCli(config, command);
        EXPECT_EQ(result.code, 1) << what << ": " << command[0];
        EXPECT_EQ(result.err, message) << what << ": " << command[0];
        EXPECT_EQ(result.out, "") << what << ": " << command[0];
    }
    EXPECT_EQ(programStartMessages(config), std::vector<std::string> { unreadableMessage(config) }) << what;
}

} // namespace

TEST(BadConfig, aFolderOrAFileThatCannotBeReadIsRefusedAndNeverWritten)
{
    TempDir dir;
    const fs::path folder = dir.file("Kalmotex.ini");
    fs::create_directory(folder);
    expectRefused(folder, "a folder");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));

    // It opens, but reading fails (EIO), as on a damaged disk.
    const fs::path damaged = dir.file("damaged.ini");
    fs::create_symlink("/proc/self/mem", damaged);
    expectRefused(damaged, "an I/O error");
    EXPECT_EQ(fs::read_symlink(damaged), "/proc/self/mem");

    // No permission. Root reads anything, so the check runs as an unprivileged user.
    fs::permissions(dir.path(), fs::perms::all);
    const fs::path locked = dir.write("locked.ini", "[Name]\r\n1=Erster\r\n");
    fs::permissions(locked, fs::perms::none);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        expectRefused(locked, "no permission");
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "see the failures the unprivileged run printed";
    fs::permissions(locked, fs::perms::owner_read);
    EXPECT_EQ(readBytes(locked), "[Name]\r\n1=Erster\r\n");
}

TEST(BadConfig, aFileThatVanishesBetweenTwoReadsIsAnEmptyConfigurationAndNotRecreated)
{
    TempDir dir;
    const fs::path config = dir.write("Kalmotex.ini", "[Name]\r\n1=Erster\r\n2=Zweiter\r\n");
    cli::CommandTable table;
    cli::addStoreCommands(table);
    table.add({ "vanish", "vanish", false, [](cli::CliContext& context, const std::vector<std::string>&) {
                   const int before = context.entries.entryCount();
                   fs::remove(context.configPath);
                   context.out << before << ' ' << context.entries.entryCount() << '\n';
                   return cli::kExitOk;
               } });
    const Result vanish = kx::test::runCli(table, { "--config", config.string(), "vanish" });
    EXPECT_EQ(vanish.code, 0) << vanish.err;
    EXPECT_EQ(vanish.out, "2 0\n");
    EXPECT_EQ(runCli(config, { "set", "1", "name", "Neu" }).err, "kalmotex-cli: there is no entry 1\n");
    EXPECT_FALSE(fs::exists(config));
    EXPECT_TRUE(programStartMessages(config).empty()) << "a missing file is seeded, not refused";
}
