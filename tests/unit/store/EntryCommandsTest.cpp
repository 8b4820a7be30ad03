#include "store/EntryCommands.h"

#include "config/ConfigAccess.h"
#include "store/EntryStore.h"
#include "support/ScriptedPrompts.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace kx::store;
using kx::platform::PromptAnswer;
using kx::test::readBytes;

namespace {

const std::filesystem::path kData = KX_TEST_DATA_DIR;
const std::string kNewPrompt = "Bitte geben Sie einen Namen für den neuen Eintrag an:";

std::string duplicateQuestion(const std::string& name)
{
    return "Es gibt bereits einen Eintrag mit dem Namen \r'" + name
        + "'.\r\rMöchten Sie ihn dennoch verwenden?";
}

class EntryCommandsTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_TRUE(prompts.wentAsScripted()) << prompts.report(); }

    std::string path() const { return dir.file("Kalmotex.ini").string(); }
    std::string file() const { return readBytes(path()); }

    kx::test::TempDir dir;
    kx::config::ConfigAccess config { path() };
    kx::test::SequenceRandom random { { 0.5 } };
    EntryStore entries { config, random };
    kx::test::ScriptedPrompts prompts;
    EntryCommands commands { entries, prompts };
};

TEST_F(EntryCommandsTest, aNewNameIsTrimmedAndStoredScrambledAsTheNextNumber)
{
    prompts.answerInput(kNewPrompt, "  Neu  ");
    const auto created = commands.createEntry({});
    ASSERT_TRUE(created);
    EXPECT_EQ(created->name, "Neu");
    EXPECT_EQ(created->number, 1);
    EXPECT_EQ(file(), readBytes(kData / "new-entry.expected.ini"));
    EXPECT_EQ(prompts.shown().at(0).title, "[Kalmotex] - Neuen Eintrag erstellen");

    prompts.answerInput(kNewPrompt, std::nullopt);
    prompts.answerInput(kNewPrompt, "   ");
    EXPECT_FALSE(commands.createEntry({ "Neu" }));
    EXPECT_FALSE(commands.createEntry({ "Neu" }));
    EXPECT_EQ(file(), readBytes(kData / "new-entry.expected.ini"));
}

TEST_F(EntryCommandsTest, aDuplicateNameInAnyCaseIsAskedForUntilTheUserKeepsIt)
{
    dir.write("Kalmotex.ini", "[Name]\r\n1=Apfel\r\n2=Gruß\r\n");
    prompts.answerInput(kNewPrompt, "APFEL");
    prompts.answerMessage(duplicateQuestion("APFEL"), PromptAnswer::No);
    prompts.answerInput(kNewPrompt, "apfel");
    prompts.answerMessage(duplicateQuestion("apfel"), PromptAnswer::Yes);
    const auto created = commands.createEntry({ "Apfel", "Gruß" });
    ASSERT_TRUE(created);
    EXPECT_EQ(created->name, "apfel");
    EXPECT_EQ(created->number, 3);
    EXPECT_EQ(prompts.shown().at(1).defaultAnswer, PromptAnswer::No);
    EXPECT_EQ(config.readIniString("Name", "3", ""), "apfel");
}

TEST_F(EntryCommandsTest, renamingOffersTheOldNameAndAsksOnlyForAnotherEntrysName)
{
    dir.write("Kalmotex.ini", "[Name]\r\n1=Gruß\r\n2=adresse\r\n");
    const std::vector<std::string> names { "adresse", "Gruß" }; // list order
    const std::string prompt = "Bitte geben Sie einen neuen Namen für den Eintrag ''adresse'' an:";
    prompts.answerInput(prompt, "ADRESSE");
    EXPECT_EQ(commands.renameEntry(names, 0, 2)->name, "ADRESSE");
    EXPECT_EQ(prompts.shown().at(0).defaultText, "adresse");
    EXPECT_EQ(prompts.shown().at(0).title, "[Kalmotex] - Eintrag umbenennen");
    EXPECT_EQ(config.readIniString("Name", "2", ""), "ADRESSE");

    prompts.answerInput(prompt, "gruß");
    prompts.answerMessage(duplicateQuestion("gruß"), PromptAnswer::No);
    prompts.answerInput(prompt, std::nullopt);
    EXPECT_FALSE(commands.renameEntry(names, 0, 2));
    EXPECT_EQ(config.readIniString("Name", "2", ""), "ADRESSE");
}

TEST_F(EntryCommandsTest, deletingAsksAndMovesTheHighestEntryIntoTheFreedNumber)
{
    std::filesystem::copy_file(kData / "three-entries.ini", path());
    // The moved entry is scrambled afresh: key 0xABCD, nibbles 0 0 and F 8.
    random = kx::test::SequenceRandom({ 43981.0 / 65536.0, 0.0, 0.0, 0.9375, 0.5 });
    const std::vector<std::string> names { "Adresse", "Geheim", "Grüße" };
    const std::vector<int> numbers { 2, 3, 1 };

    prompts.answerMessage("Wollen Sie den Eintrag 'Adresse'\rwirklich löschen?", PromptAnswer::No);
    EXPECT_FALSE(commands.deleteEntry(names, numbers, 0));
    EXPECT_EQ(file(), readBytes(kData / "three-entries.ini"));

    prompts.answerMessage("Wollen Sie den Eintrag 'Adresse'\rwirklich löschen?", PromptAnswer::Yes);
    EXPECT_TRUE(commands.deleteEntry(names, numbers, 0));
    EXPECT_EQ(prompts.shown().at(1).defaultAnswer, PromptAnswer::Yes);
    EXPECT_EQ(file(), readBytes(kData / "three-entries-delete-2.expected.ini"));
}

TEST_F(EntryCommandsTest, aFailedWriteIsToldOncePerRun)
{
    std::filesystem::create_directory(path()); // no file can be written there
    prompts.answerInput(kNewPrompt, "Eins");
    prompts.answerMessage("Die Konfigurationsdatei '" + path()
        + "' kann nicht gespeichert werden. Änderungen an den Textbausteinen gehen verloren.");
    prompts.answerInput(kNewPrompt, "Zwei");

    EXPECT_TRUE(commands.createEntry({}));
    EXPECT_TRUE(commands.createEntry({ "Eins" }));
    EXPECT_EQ(prompts.shown().at(1).icon, kx::platform::PromptIcon::Warning);
}

} // namespace
