#include "backends/xdg/XdgAutostartStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kx::platform {
namespace {

namespace fs = std::filesystem;
using kx::test::readBytes;
using kx::test::TempDir;

// Only the entries written on purpose: no temporary file left behind.
std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(XdgAutostartStore, addsReplacesAndRemovesADesktopEntryInAFolderItCreates)
{
    TempDir dir;
    const fs::path folder = dir.path() / "config" / "autostart";
    XdgAutostartStore store(folder);
    EXPECT_FALSE(store.hasEntry("[Kalmotex]"));
    EXPECT_TRUE(store.removeEntry("[Kalmotex]")); // nothing there: no failure

    ASSERT_TRUE(store.addEntry("[Kalmotex]", "/opt/kx/kalmotex", "/AUTOSTART"));
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));
    EXPECT_FALSE(store.hasEntry("Kalmotex"));
    EXPECT_EQ(readBytes(folder / "[Kalmotex].desktop"),
        "[Desktop Entry]\nType=Application\nName=Kalmotex\nExec=/opt/kx/kalmotex "
        "/AUTOSTART\nTerminal=false\n");
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(dir.path() / "config").permissions() & fs::perms::all, fs::perms::owner_all);

    ASSERT_TRUE(store.addEntry("[Kalmotex]", "/home/ute/kx/kalmotex", "/AUTOSTART"));
    EXPECT_NE(readBytes(folder / "[Kalmotex].desktop").find("Exec=/home/ute/kx/kalmotex /AUTOSTART\n"),
        std::string::npos);
    EXPECT_EQ(filesIn(folder), std::vector<std::string> { "[Kalmotex].desktop" });

    // The unbracketed name is another entry; removing it leaves the own one.
    ASSERT_TRUE(store.addEntry("Kalmotex", "/old/kalmotex", ""));
    EXPECT_TRUE(store.removeEntry("Kalmotex"));
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));
    EXPECT_TRUE(store.removeEntry("[Kalmotex]"));
    EXPECT_FALSE(store.hasEntry("[Kalmotex]"));
    EXPECT_TRUE(filesIn(folder).empty());
    EXPECT_EQ(store.startupFolder(), "");
}

TEST(XdgAutostartStore, anEntryTheDesktopSwitchedOffCountsAsMissing)
{
    TempDir dir;
    XdgAutostartStore store(dir.path());
    dir.write("[Kalmotex].desktop", "[Desktop Entry]\nType=Application\nExec=kalmotex\nHidden = true\n");
    EXPECT_FALSE(store.hasEntry("[Kalmotex]"));
    dir.write("[Kalmotex].desktop", "[Desktop Entry]\nExec=kalmotex\n[Desktop Action x]\nHidden=true\n");
    EXPECT_TRUE(store.hasEntry("[Kalmotex]"));
}

TEST(XdgAutostartStore, aFolderThatCannotBeWrittenGivesTheReasonAndChangesNothing)
{
    // A path through a plain file fails for every user, root included.
    TempDir dir;
    dir.write("config", "not a folder");
    XdgAutostartStore blocked(dir.path() / "config" / "autostart");
    const kx::text::Result added = blocked.addEntry("[Kalmotex]", "/opt/kx/kalmotex", "/AUTOSTART");
    EXPECT_FALSE(added);
    EXPECT_NE(added.error().find((dir.path() / "config").string()), std::string::npos) << added.error();
    EXPECT_NE(added.error().find("Not a directory"), std::string::npos) << added.error();
    EXPECT_EQ(readBytes(dir.path() / "config"), "not a folder");

    // A folder standing where the entry file goes: neither written over nor removed.
    fs::create_directories(dir.path() / "autostart" / "[Kalmotex].desktop");
    dir.write("autostart/other.desktop", "[Desktop Entry]\n");
    XdgAutostartStore store(dir.path() / "autostart");
    EXPECT_FALSE(store.addEntry("[Kalmotex]", "/opt/kx/kalmotex", "/AUTOSTART"));
    const kx::text::Result removed = store.removeEntry("[Kalmotex]");
    EXPECT_FALSE(removed);
    EXPECT_NE(removed.error().find("[Kalmotex].desktop: "), std::string::npos) << removed.error();
    EXPECT_TRUE(fs::is_directory(dir.path() / "autostart" / "[Kalmotex].desktop"));
    EXPECT_EQ(filesIn(dir.path() / "autostart"),
        (std::vector<std::string> { "[Kalmotex].desktop", "other.desktop" }));
}

TEST(XdgAutostartStore, execQuotesThePathOnlyWhenItNeedsQuotes)
{
    const struct
    {
        const char* path;
        const char* exec; // as written in the file
    } cases[] = {
        { "/opt/kx/kalmotex", "/opt/kx/kalmotex" },
        { "/home/ute/Meine Programme/kalmotex", "\"/home/ute/Meine Programme/kalmotex\"" },
        { "/home/ute/100%/kalmotex", "/home/ute/100%%/kalmotex" },
        { "/home/ute/50 %/kalmotex", "\"/home/ute/50 %%/kalmotex\"" },
        { "/home/ute/Über/kalmotex", "/home/ute/Über/kalmotex" },
        // Inside quotes ", `, $ and \ take a backslash; the file's own escapes then double
        // every backslash.
        { "/tmp/a\"b/kx", "\"/tmp/a\\\\\"b/kx\"" },
        { "/tmp/$HOME/kx", "\"/tmp/\\\\$HOME/kx\"" },
        { "/tmp/a\\b/kx", "\"/tmp/a\\\\\\\\b/kx\"" },
        { "/tmp/it's/kx", "\"/tmp/it's/kx\"" },
        { "/tmp/a=b;c/kx", "\"/tmp/a=b;c/kx\"" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(execArgument(c.path), c.exec) << c.path;

    TempDir dir;
    XdgAutostartStore store(dir.path());
    ASSERT_TRUE(store.addEntry("[Kalmotex]", "/home/ute/Meine Programme/100%/kalmotex", "/AUTOSTART"));
    EXPECT_NE(readBytes(dir.file("[Kalmotex].desktop"))
                  .find("\nExec=\"/home/ute/Meine Programme/100%%/kalmotex\" /AUTOSTART\n"),
        std::string::npos);
}

TEST(XdgAutostartStore, theFolderFollowsXdgConfigHomeWhenItIsAbsolute)
{
    EXPECT_EQ(autostartFolder("/srv/cfg", "/home/ute"), fs::path("/srv/cfg/autostart"));
    EXPECT_EQ(autostartFolder("cfg", "/home/ute"), fs::path("/home/ute/.config/autostart"));
    EXPECT_EQ(autostartFolder("", "/home/ute"), fs::path("/home/ute/.config/autostart"));
    EXPECT_EQ(autostartFolder(nullptr, "/home/ute"), fs::path("/home/ute/.config/autostart"));
}

} // namespace
} // namespace kx::platform
