#include "config/ConfigAccess.h"
#include "store/Scrambling.h"
#include "support/CliRun.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using kx::test::readBytes;
using kx::test::runCli;
using kx::test::TempDir;
namespace cli = kx::app::cli;

namespace {

const std::string kFixture = "; Beispiel\r\n"
                             "[Name]\r\n1=Gruß\r\n2=Adresse\r\n3=Geheim\r\n"
                             "[Crypt]\r\n1=0\r\n2=0\r\n3=1\r\n"
                             "[Text]\r\n1=Hallo\\N\\TWelt \\Hzitiert\\H\r\n2=Weg 1\r\n3=0A70F918ABCD\r\n"
                             "[Title]\r\n1=Editor\r\n2=\r\n3=\r\n"
                             "[DosBox]\r\n1=0\r\n2=1\r\n3=0\r\n"
                             "[Ignore]\r\n1=Uhr\r\n";

bool isOneLine(const std::string& text) { return !text.empty() && text.find('\n') == text.size() - 1; }

using Result = kx::test::CliResult;

class Cli : public ::testing::Test
{
protected:
    Cli() { cli::addStoreCommands(table); }

    std::string writeFixture() { return dir.write("Kalmotex.ini", kFixture).string(); }

    Result run(std::vector<std::string> arguments, const std::string& config)
    {
        arguments.insert(arguments.begin(), { "--config", config });
        return runCli(table, arguments, dir.file("default.ini").string());
    }

    // Runs every command line on the fixture: each must exit with `code`, say why in one
    // line on stderr (and print nothing else for usage errors) and leave the file as it was.
    void expectRejected(const std::vector<std::vector<std::string>>& cases, int code)
    {
        const std::string path = writeFixture();
        for (const auto& args : cases) {
            const std::string line = testing::PrintToString(args);
            const Result r = run(args, path);
            EXPECT_EQ(r.code, code) << line;
            EXPECT_TRUE(isOneLine(r.err)) << line << "-> " << r.err;
            if (code == 2) {
                EXPECT_EQ(r.out, "") << line;
            }
            EXPECT_EQ(readBytes(path), kFixture) << line;
        }
    }

    std::string value(const std::string& section, const std::string& key, const std::string& path)
    {
        kx::config::ConfigAccess config(path);
        return config.readIniString(section, key, "<missing>");
    }

    TempDir dir;
    cli::CommandTable table;
};

TEST_F(Cli, usageErrorsExitWithTwoAndLeaveTheFileUnchanged)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        { "frobnicate" },
        { "--bogus", "list" },
        { "list", "extra" },
        { "show" },
        { "show", "eins" },
        { "show", "1x" },
        { "show", "1", "--xml" },
        { "show", "1", "2" },
        { "add" },
        { "add", "A", "--text" },
        { "add", "A", "--colour", "rot" },
        { "add", "A", "B" },
        { "add", "A", "--text", "x", "--text-file", "y" },
        { "add", "A", "--crypt", "2" },
        { "set", "1", "name" },
        { "set", "x", "name", "Neu" },
        { "set", "1", "colour", "rot" },
        { "set", "1", "dosbox", "ja" },
        { "delete" },
        { "delete", "2.5" },
        { "ignore" },
        { "ignore", "remove", "Uhr" },
    };
    expectRejected(cases, 2);
    const Result missingFile = runCli(table, { "--config" }, writeFixture());
    EXPECT_EQ(missingFile.code, 2);
}

TEST_F(Cli, helpAndVersionPrintOnStdoutAndTouchNoFile)
{
    const std::string missing = dir.file("default.ini").string();
    const Result help = runCli(table, { "--help" }, missing);
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: kalmotex-cli [--config FILE] COMMAND [ARGUMENTS]\n"
                             "       kalmotex-cli --help | --version\n",
                  0),
        0u)
        << help.out;
    EXPECT_NE(help.out.find("\n  show N [--json]\n"), std::string::npos) << help.out;

    // The version line itself is checked on the installed program (e2e installed_program).
    EXPECT_EQ(runCli(table, { "--config", missing, "--version" }, missing).out,
        "kalmotex-cli " KX_PROJECT_VERSION "\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(Cli, failuresExitWithOneAndLeaveTheFileUnchanged)
{
    const std::vector<std::vector<std::string>> cases = {
        { "show", "4" },
        { "show", "0" },
        { "show", "-1" },
        { "show", "99999999999999999999" },
        { "delete", "4" },
        { "set", "4", "name", "Neu" },
        { "set", "1", "name", "Zeile\nZeile" },
        { "set", "1", "name", "   " },
        { "set", "1", "title", "a\rb" },
        { "add", "Zwei\r\nZeilen" },
        { "add", "  " },
        { "add", "Neu", "--title", "a\nb" },
        { "add", "Neu", "--text-file", "/nonexistent/text.txt" },
        { "ignore", "add", "a\nb" },
        { "ignore", "add", "" },
    };
    expectRejected(cases, 1);
}

TEST_F(Cli, aWriteThatCannotBeDoneFailsAndSaysSo)
{
    const std::string unreachable = (dir.path() / "no-such-folder" / "Kalmotex.ini").string();
    const Result add = run({ "add", "Neu" }, unreachable);
    EXPECT_EQ(add.code, 1);
    EXPECT_EQ(add.err, "kalmotex-cli: cannot write " + unreachable + "\n");
    EXPECT_FALSE(std::filesystem::exists(unreachable));
}

TEST_F(Cli, aWritingCommandThatFailsPartWayHasTheFileRestored)
{
    table.add({ "half", "half", true, [](cli::CliContext& context, const std::vector<std::string>&) {
                   EXPECT_TRUE(context.config.writeIniString("Name", "1", "Halb"));
                   EXPECT_TRUE(context.config.writeIniString("Name", "9", "Neu"));
                   return context.failure("stopped part-way");
               } });
    const std::string path = writeFixture();
    EXPECT_EQ(run({ "half" }, path).code, 1);
    EXPECT_EQ(readBytes(path), kFixture);

    const std::string missing = dir.file("neu.ini").string();
    EXPECT_EQ(run({ "half" }, missing).code, 1);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// The default file's folders are created as needed; a --config file's are not
// (aWriteThatCannotBeDoneFailsAndSaysSo).
TEST_F(Cli, aMissingConfigurationIsEmptyUntilTheFirstWriteCreatesItWithItsFolders)
{
    const std::string path = (dir.path() / "config" / "kalmotex" / "Kalmotex.ini").string();
    EXPECT_EQ(runCli(table, { "list" }, path).out, "");
    EXPECT_EQ(runCli(table, { "ignore", "list" }, path).out, ""); // no default titles here
    EXPECT_EQ(runCli(table, { "show", "1" }, path).code, 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(run({ "list" }, dir.file("none.ini").string()).out, ""); // the same with --config

    const Result add = runCli(table, { "add", "  Erster  ", "--text", "A\rB" }, path);
    EXPECT_EQ(add.code, 0) << add.err;
    EXPECT_EQ(add.out, "1\n");
    EXPECT_EQ(value("Name", "1", path), "Erster");
    EXPECT_EQ(value("Crypt", "1", path), "1");
    EXPECT_EQ(value("Title", "1", path), "");
    EXPECT_EQ(value("DosBox", "1", path), "0");
    EXPECT_EQ(value("Ignore", "1", path), "<missing>");
}

TEST_F(Cli, listShowDeleteAndIgnoreWorkOnTheEntriesAsNumbered)
{
    const std::string path = writeFixture();
    EXPECT_EQ(run({ "list" }, path).out, "1\tGruß\n2\tAdresse\n3\tGeheim\n");
    const Result ignore = run({ "ignore", "add", "Taskleiste" }, path);
    EXPECT_EQ(ignore.code, 0);
    EXPECT_EQ(ignore.out, "2\n");
    EXPECT_EQ(run({ "ignore", "list" }, path).out, "1\tUhr\n2\tTaskleiste\n");

    EXPECT_EQ(run({ "show", "1", "--json" }, path).out,
        "{\"number\":1,\"name\":\"Gruß\",\"title\":\"Editor\",\"crypt\":0,\"dosbox\":0,"
        "\"text\":\"Hallo\\r\\tWelt \\\"zitiert\\\"\"}\n");
    EXPECT_EQ(run({ "show", "--json", "3" }, path).out,
        "{\"number\":3,\"name\":\"Geheim\",\"title\":\"\",\"crypt\":1,\"dosbox\":0,\"text\":\"Ab\"}\n");
    EXPECT_EQ(run({ "show", "1" }, path).out,
        "number: 1\nname: Gruß\ntitle: Editor\ncrypt: 0\ndosbox: 0\ntext:\nHallo\n\tWelt \"zitiert\"\n");

    // Delete moves the highest entry into the freed number (the file, field by field:
    // EntryCommandsTest).
    ASSERT_EQ(run({ "delete", "1" }, path).code, 0);
    EXPECT_EQ(run({ "list" }, path).out, "1\tGeheim\n2\tAdresse\n");
}

TEST_F(Cli, addStoresTheTextEscapedAndScrambledByDefault)
{
    const std::string path = writeFixture();
    const std::string textFile = dir.write("text.txt", "Zeile 1\r\nZeile 2 \xe4").string();

    const Result add
        = run({ "add", "Vorlage", "--text-file", textFile, "--title", "Notepad", "--dosbox", "1" }, path);
    ASSERT_EQ(add.code, 0) << add.err;
    EXPECT_EQ(add.out, "4\n");
    const std::string stored = value("Text", "4", path);
    EXPECT_EQ(stored.size(), 4 * 20 + 4u);
    kx::test::SequenceRandom unused({ 0.0 });
    EXPECT_EQ(kx::store::scrambleText(stored, false, unused), "Zeile 1\\N\\LZeile 2 ä");
    EXPECT_EQ(value("Title", "4", path), "Notepad");
    EXPECT_EQ(value("DosBox", "4", path), "1");

    ASSERT_EQ(run({ "add", "Klar", "--text", "a\\b", "--crypt", "0" }, path).code, 0);
    EXPECT_EQ(value("Text", "5", path), "a\\\\b");
    EXPECT_EQ(value("Crypt", "5", path), "0");
}

TEST_F(Cli, setChangesOneFieldAndCryptRestoresTheText)
{
    const std::string path = writeFixture();
    ASSERT_EQ(run({ "set", "1", "text", "Neu\r\nText" }, path).code, 0);
    EXPECT_EQ(value("Text", "1", path), "Neu\\N\\LText");
    EXPECT_EQ(value("Crypt", "1", path), "0");

    ASSERT_EQ(run({ "set", "1", "crypt", "1" }, path).code, 0);
    EXPECT_EQ(value("Crypt", "1", path), "1");
    EXPECT_EQ(value("Text", "1", path).size(), 4 * 11 + 4u);

    ASSERT_EQ(run({ "set", "1", "text", "Geheim" }, path).code, 0);
    EXPECT_EQ(value("Text", "1", path).size(), 4 * 6 + 4u);

    ASSERT_EQ(run({ "set", "1", "crypt", "0" }, path).code, 0);
    EXPECT_EQ(value("Text", "1", path), "Geheim");
    EXPECT_EQ(value("Crypt", "1", path), "0");

    ASSERT_EQ(run({ "set", "2", "name", "  Anschrift " }, path).code, 0);
    ASSERT_EQ(run({ "set", "2", "title", "Word" }, path).code, 0);
    ASSERT_EQ(run({ "set", "2", "dosbox", "0" }, path).code, 0);
    EXPECT_EQ(run({ "show", "2", "--json" }, path).out,
        "{\"number\":2,\"name\":\"Anschrift\",\"title\":\"Word\",\"crypt\":0,\"dosbox\":0,\"text\":\"Weg "
        "1\"}\n");
}

TEST(CliJson, escapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(cli::jsonString("a\"b\\c\r\n\t\x01\x1f ä"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u001f ä\"");
}

} // namespace
