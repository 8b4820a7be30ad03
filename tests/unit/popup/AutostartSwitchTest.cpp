#include "popup/AutostartSwitch.h"
#include "backends/fake/FakeAutostartStore.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace kx::popup {
namespace {

using Entries = std::map<std::string, std::string>;

class AutostartSwitching : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_TRUE(prompts.wentAsScripted()) << prompts.report(); }
    platform::FakeAutostartStore store;
    test::ScriptedPrompts prompts;
    AutostartSwitch autostart { store, prompts, "C:\\Programme\\Kalmotex\\Kalmotex.exe" };
};

// That it removes only the unbracketed entry: e2e autostart.
TEST_F(AutostartSwitching, startUpRemovingTheOldEntryShowsNoMessageEvenWhenItFails)
{
    EXPECT_TRUE(autostart.removeStaleEntry()); // nothing to remove
    store.setEntry("Kalmotex", "C:\\alt\\Kalmotex.exe");
    store.setFailure("Zugriff verweigert");
    EXPECT_FALSE(autostart.removeStaleEntry());
}

TEST_F(AutostartSwitching, theBoxShowsTheEntryAndSwitchingWritesOrRemovesItAtOnce)
{
    EXPECT_FALSE(autostart.initialState());
    EXPECT_TRUE(store.entries().empty()); // setting the box up writes nothing

    EXPECT_TRUE(autostart.apply(true));
    EXPECT_EQ(store.entries(),
        (Entries { { "[Kalmotex]", "C:\\Programme\\Kalmotex\\Kalmotex.exe /AUTOSTART" } }));
    EXPECT_TRUE(autostart.initialState());

    EXPECT_TRUE(autostart.apply(false));
    EXPECT_TRUE(store.entries().empty());
    EXPECT_TRUE(autostart.apply(false)); // already off
}

TEST_F(AutostartSwitching, aRefusedSwitchChangesNothingAndAsksNothing)
{
    store.setEntry("[Kalmotex]", "alt /AUTOSTART");
    store.setFailure("/home/ute/.config/autostart: Permission denied");
    EXPECT_EQ(autostart.apply(false).error(), "/home/ute/.config/autostart: Permission denied");
    EXPECT_FALSE(autostart.apply(true));
    EXPECT_EQ(store.entries(), (Entries { { "[Kalmotex]", "alt /AUTOSTART" } }));
}

TEST_F(AutostartSwitching, aStartupShortcutIsReplacedByTheEntry)
{
    const std::string shortcut = "C:\\Users\\ute\\Startmenü\\Autostart\\[Kalmotex].lnk";
    store.setStartupFolder("C:\\Users\\ute\\Startmenü\\Autostart");
    store.addFile(shortcut);
    EXPECT_TRUE(autostart.initialState());
    EXPECT_FALSE(store.fileExists(shortcut));
    EXPECT_EQ(store.entries(),
        (Entries { { "[Kalmotex]", "C:\\Programme\\Kalmotex\\Kalmotex.exe /AUTOSTART" } }));
}

TEST_F(AutostartSwitching, aShortcutThatResistsIsReportedAndTheEntryWrittenAllTheSame)
{
    const std::string shortcut = "/home/ute/Autostart/[Kalmotex].lnk";
    store.setStartupFolder("/home/ute/Autostart/");
    store.addFile(shortcut, { false, true, true });
    prompts.answerMessage("Attribute nicht löschbar: " + shortcut);
    prompts.answerMessage("Datei nicht löschbar: " + shortcut);
    EXPECT_TRUE(autostart.initialState());
    EXPECT_EQ(prompts.shown()[0].icon, platform::PromptIcon::Information);
    EXPECT_TRUE(store.fileExists(shortcut));
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));
}

TEST_F(AutostartSwitching, aHiddenShortcutOrNoStartupFolderLeavesTheBoxToTheEntry)
{
    store.setStartupFolder("C:\\Autostart");
    store.addFile("C:\\Autostart\\[Kalmotex].lnk", { true });
    EXPECT_FALSE(autostart.initialState());
    EXPECT_TRUE(store.fileExists("C:\\Autostart\\[Kalmotex].lnk"));

    store.setStartupFolder("");
    store.addFile("[Kalmotex].lnk");
    store.setEntry("[Kalmotex]", "x /AUTOSTART");
    EXPECT_TRUE(autostart.initialState());
    EXPECT_TRUE(store.fileExists("[Kalmotex].lnk"));
    EXPECT_EQ(store.entries().at("[Kalmotex]"), "x /AUTOSTART"); // not rewritten
}

} // namespace
} // namespace kx::popup
