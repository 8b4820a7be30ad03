#include "store/EntryStore.h"

#include "config/ConfigAccess.h"
#include "store/EntryCommands.h"
#include "store/IgnoredTitles.h"
#include "store/Options.h"
#include "store/TimeSeededRandom.h"
#include "support/TempDir.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

using kx::config::ConfigAccess;
using kx::store::Entry;
using kx::store::EntryStore;
using kx::test::readBytes;

namespace {

class EntryStoreFiles : public ::testing::Test
{
protected:
    kx::test::TempDir dir;
    ConfigAccess config { dir.file("Kalmotex.ini").string() };
    kx::store::TimeSeededRandom random;
    EntryStore store { config, random };
};

TEST_F(EntryStoreFiles, enumerationEndsAtTheFirstMissingNameOrTheLargestListAndTrimsTitles)
{
    dir.write("Kalmotex.ini",
        "[Name]\r\n1=Eins\r\n2=Zwei\r\n4=Vier\r\n[Title]\r\n1=   \r\n2=  Editor - Datei  \r\n4=Vier\r\n");
    const auto items = store.enumerateEntries();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].number, 1);
    EXPECT_EQ(items[0].name, "Eins");
    EXPECT_EQ(items[0].title, "");
    EXPECT_EQ(items[1].title, "Editor - Datei");
    EXPECT_EQ(store.entryCount(), 2);

    std::string names = "[Name]\r\n";
    for (int i = 1; i <= EntryStore::kMaxEntries + 1; ++i)
        names += std::to_string(i) + "=E\r\n";
    dir.write("Kalmotex.ini", names);
    EXPECT_EQ(store.enumerateEntries().size(), 32767u);
    EXPECT_EQ(store.entryCount(), 32767);
}

TEST_F(EntryStoreFiles, readEntryTestsFlagsForNonZeroAndUnscrambles)
{
    dir.write("Kalmotex.ini",
        "[Name]\r\n1=A\r\n2=B\r\n3=C\r\n4=D\r\n5=E\r\n6=F\r\n"
        "[Crypt]\r\n1=-1\r\n2=2\r\n3=0.5\r\n4=\r\n5=0\r\n6=nein\r\n"
        "[Text]\r\n1=0A70F918ABCD\r\n2=0a70f918abcd\r\n3=7E630F7F5FC00003\r\n"
        "4=klar\\Ntext\r\n5=0A70F918ABCD\r\n6=x\r\n"
        "[DosBox]\r\n1=1\r\n2=&H1\r\n3=0\r\n4=-0.5\r\n");
    const struct
    {
        int number;
        bool crypt;
        const char* text;
        bool dosBox;
    } expected[] = {
        { 1, true, "Ab", true },
        { 2, true, "Ab", true },
        { 3, true, "äöü", false },
        { 4, false, "klar\\Ntext", true },
        { 5, false, "0A70F918ABCD", false },
        { 6, false, "x", false },
    };
    for (const auto& e : expected) {
        const Entry entry = store.readEntry(e.number);
        EXPECT_EQ(entry.crypt, e.crypt) << "entry " << e.number;
        EXPECT_EQ(entry.text, e.text) << "entry " << e.number;
        EXPECT_EQ(entry.dosBox, e.dosBox) << "entry " << e.number;
    }
    EXPECT_EQ(store.readEntry(99), Entry {});
}

TEST_F(EntryStoreFiles, twoProgramsAddingAtOnceLoseNoEntry)
{
    const auto addMany = [this](const std::string& prefix) {
        ConfigAccess own(dir.file("Kalmotex.ini").string()); // each with its own view, as two programs
        kx::store::TimeSeededRandom ownRandom;
        EntryStore writer(own, ownRandom);
        for (int i = 0; i < 25; ++i)
            EXPECT_TRUE(writer.appendEntry(kx::store::makeNewEntry(prefix + std::to_string(i))).written);
    };
    std::thread first(addMany, "A");
    std::thread second(addMany, "B");
    first.join();
    second.join();
    // Two writers taking one number would leave fewer.
    EXPECT_EQ(store.entryCount(), 50);
}

TEST_F(EntryStoreFiles, aHotkeyMovesWithItsEntryOnDeleteAndAFileWithoutHotkeysGetsNone)
{
    const std::string hotkeys = "[Name]\r\n1=A\r\n2=B\r\n3=C\r\n[Hotkey]\r\n1=Ctrl+Alt+1\r\n3=Ctrl+Alt+3\r\n";
    dir.write("Kalmotex.ini", hotkeys);
    ASSERT_TRUE(store.deleteEntry(1));
    EXPECT_EQ(store.readEntry(1).hotkey, "Ctrl+Alt+3");
    EXPECT_EQ(store.readEntry(3).hotkey, "");

    dir.write("Kalmotex.ini", "[Name]\r\n1=A\r\n2=B\r\n");
    ASSERT_TRUE(store.deleteEntry(1));
    EXPECT_EQ(readBytes(dir.file("Kalmotex.ini")).find("[Hotkey]"), std::string::npos);
}

TEST(SampleConfiguration, isAWindowsStyleFileWithReadableEntries)
{
    const auto sample = std::filesystem::path(KX_SOURCE_DIR) / "data" / "sample.ini";
    const std::string bytes = readBytes(sample);
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(kx::text::isValidUtf8(bytes)); // Windows-1252 umlauts
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        ASSERT_EQ(bytes[i - 1], '\r') << "bare line feed at byte " << i;

    ConfigAccess config(sample.string());
    kx::store::TimeSeededRandom random;
    EntryStore store(config, random);
    const auto items = store.enumerateEntries();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].name, "Mit freundlichen Grüßen");
    const Entry secret = store.readEntry(7);
    EXPECT_TRUE(secret.crypt);
    EXPECT_EQ(secret.text, "Benutzer: mmuster\\TKennwort: Geheim123\\N");
    EXPECT_TRUE(store.readEntry(8).dosBox);

    kx::store::IgnoredTitles ignored(config);
    ignored.readFromFile();
    EXPECT_EQ(ignored.count(), 2u);
    EXPECT_TRUE(kx::store::loadSortNamesOption(config));
    EXPECT_EQ(kx::store::loadBorderStripOptions(config), kx::store::BorderStripOptions {});
}

} // namespace
