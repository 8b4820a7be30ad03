#include "popup/PopupMenu.h"
#include "config/ConfigAccess.h"
#include "store/TeamLibrary.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace kx::popup {
namespace {

// The entries (name and number) in menu order, then the fixed items.
std::vector<MenuItem> withFixedItems(const std::vector<std::pair<std::string, int>>& entries)
{
    std::vector<MenuItem> items;
    for (const auto& [name, number] : entries)
        items.push_back({ name, { MenuCommand::SendEntry, number } });
    items.insert(items.end(),
        { { "-", {} },
            { "&Bearbeiten", { MenuCommand::ShowMainWindow, 0 } },
            { "-", {} },
            { "&Abbrechen", {} },
            { "B&eenden", { MenuCommand::Exit, 0 } } });
    return items;
}

class PopupMenuFromFile : public ::testing::Test
{
protected:
    config::ConfigAccess& withConfig(std::string_view contents)
    {
        m_dir.write("Kalmotex.ini", contents);
        return m_config;
    }

    test::TempDir m_dir;
    config::ConfigAccess m_config { m_dir.file("Kalmotex.ini").string() };
    test::SequenceRandom m_random { { 0.5 } };
    PopupMenu m_menu;
};

// "&Bearbeiten", after the entries, is the default item.
TEST_F(PopupMenuFromFile, entriesStopAtTheFirstMissingNameAndAreSortedUnlessSortNamesIsZero)
{
    const struct
    {
        const char* name;
        const char* file;
        std::vector<std::pair<std::string, int>> entries;
    } cases[] = {
        { "no entries", "[Common]\r\nSortNames=1\r\n", {} },
        { "stops at the first gap",
            "[Name]\r\n1=Eins\r\n2=Zwei\r\n4=Vier\r\n",
            { { "Eins", 1 }, { "Zwei", 2 } } },
        { "sorted by default",
            "[Name]\r\n1=Zeta\r\n2=Alpha\r\n3=Mitte\r\n",
            { { "Alpha", 2 }, { "Mitte", 3 }, { "Zeta", 1 } } },
        { "SortNames=0 keeps the numbers' order",
            "[Name]\r\n1=Zeta\r\n2=Alpha\r\n3=Mitte\r\n[Common]\r\nSortNames=0\r\n",
            { { "Zeta", 1 }, { "Alpha", 2 }, { "Mitte", 3 } } },
        { "case ignored, equal names in entry order",
            "[Name]\r\n1=beta\r\n2=Alpha\r\n3=Beta\r\n4=ärger\r\n5=Zorn\r\n",
            { { "Alpha", 2 }, { "ärger", 4 }, { "beta", 1 }, { "Beta", 3 }, { "Zorn", 5 } } },
    };
    for (const auto& c : cases) {
        m_menu.rebuild(withConfig(c.file));
        EXPECT_EQ(m_menu.items(), withFixedItems(c.entries)) << c.name;
        EXPECT_EQ(m_menu.defaultItemIndex(), static_cast<int>(c.entries.size()) + 2) << c.name;
    }
    EXPECT_EQ(m_menu.choiceFor(1), (MenuChoice { MenuCommand::SendEntry, 2 }));
}

TEST_F(PopupMenuFromFile, rebuildingSortsAgainWhenANameChanges)
{
    m_menu.rebuild(withConfig("[Name]\r\n1=Zeta\r\n2=Alpha\r\n"));
    m_menu.rebuild(m_config);
    EXPECT_EQ(m_menu.item(1), (MenuItem { "Alpha", { MenuCommand::SendEntry, 2 } }));
    m_menu.rebuild(withConfig("[Name]\r\n1=Zeta\r\n2=Zz\r\n"));
    EXPECT_EQ(m_menu.item(1), (MenuItem { "Zeta", { MenuCommand::SendEntry, 1 } }));
    EXPECT_EQ(m_menu.item(2), (MenuItem { "Zz", { MenuCommand::SendEntry, 2 } }));
    m_menu.rebuild(withConfig("[Name]\r\n1=Alpha\r\n2=Zeta\r\n"));
    EXPECT_EQ(m_menu.item(1), (MenuItem { "Alpha", { MenuCommand::SendEntry, 1 } }));
}

TEST_F(PopupMenuFromFile, theTeamFileFollowsOnesOwnEntriesUnderAGreyedHeadingThatSaysWhereTheyComeFrom)
{
    const std::string team = m_dir.file("team.ini").string();
    const struct
    {
        const char* name;
        const char* sortNames; // one's own; the team file's says the opposite
        const char* teamFile; // nullptr: missing; "/": a folder stands there
        const char* tip; // followed by the path
        std::vector<std::pair<std::string, int>> entries;
    } cases[] = {
        { "sorted",
            "1",
            "[Name]\r\n1=Zoll\r\n2=Adresse\r\n[Common]\r\nSortNames=0\r\n",
            "Team-Datei: ",
            { { "Adresse", 2 }, { "Zoll", 1 } } },
        { "unsorted",
            "0",
            "[Name]\r\n1=Zoll\r\n2=Adresse\r\n",
            "Team-Datei: ",
            { { "Zoll", 1 }, { "Adresse", 2 } } },
        { "missing", "1", nullptr, "Die Team-Datei fehlt: ", {} },
        { "unreadable", "1", "/", "Die Team-Datei kann nicht gelesen werden: ", {} },
    };
    store::TeamLibrary library(m_random);
    for (const auto& c : cases) {
        std::filesystem::remove_all(team);
        if (c.teamFile && std::string_view(c.teamFile) == "/")
            std::filesystem::create_directory(team);
        else if (c.teamFile)
            m_dir.write("team.ini", c.teamFile);
        m_menu.rebuild(
            withConfig(std::string("[Name]\r\n1=Eigen\r\n[Common]\r\nTeamFile=team.ini\r\nSortNames=")
                + c.sortNames),
            &library);
        std::vector<MenuItem> expected { { "Eigen", { MenuCommand::SendEntry, 1 } },
            { "-", {} },
            { "Team", {}, false, c.tip + team } };
        for (const auto& [name, number] : c.entries)
            expected.push_back({ name, { MenuCommand::SendTeamEntry, number } });
        for (const MenuItem& fixed : withFixedItems({}))
            expected.push_back(fixed);
        EXPECT_EQ(m_menu.items(), expected) << c.name;
    }
    m_menu.rebuild(withConfig("[Name]\r\n1=Eigen\r\n"), &library);
    EXPECT_EQ(m_menu.items(), withFixedItems({ { "Eigen", 1 } }));
}

// The shown captions of "&Adresse" and "R&&D-Bericht": TrayControllerTest.screenReadersSeeTheItems...
TEST(PopupMenuCaptions, namesAreUsedUnchangedAndOnlyEntriesCountAsEntries)
{
    PopupMenu menu;
    menu.rebuild({ { 1, "A&&B", "" }, { 2, "-", "" }, { 3, "&Gruß", "" } }, 0);
    EXPECT_EQ(menu.items(), withFixedItems({ { "A&&B", 1 }, { "-", 2 }, { "&Gruß", 3 } }));
    EXPECT_TRUE(isSeparatorCaption(menu.item(2).caption));
    std::vector<bool> entries;
    for (const auto& item : menu.items())
        entries.push_back(isEntryItem(item));
    // A name that is exactly "-" is still an entry (drawn as a line); the fixed items are not.
    EXPECT_EQ(entries, (std::vector<bool> { true, true, true, false, false, false, false, false }));
    EXPECT_EQ(displayedCaption("&Grüße"), "Grüße");
    EXPECT_EQ(displayedCaption("Ende&"), "Ende");
    EXPECT_EQ(displayedCaption("&&&Ä"), "&Ä");
}

TEST(PopupMenuClicks, indexOutsideTheMenuDoesNothing)
{
    PopupMenu menu;
    menu.rebuild(std::vector<store::EntryListItem> {}, 1);
    EXPECT_EQ(menu.choiceFor(0), MenuChoice {});
    EXPECT_EQ(menu.choiceFor(6), MenuChoice {});
    EXPECT_EQ(menu.choiceFor(2).command, MenuCommand::ShowMainWindow);
    EXPECT_EQ(menu.choiceFor(5).command, MenuCommand::Exit);
    EXPECT_EQ(menu.choiceFor(4).command, MenuCommand::Nothing);
}

} // namespace
} // namespace kx::popup
