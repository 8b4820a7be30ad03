#include "config/ConfigAccess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kx::config;
using kx::test::readBytes;
using kx::test::TempDir;

TEST(ConfigAccess, readsGiveTheValueOrTheDefault)
{
    TempDir dir;
    const std::string file
        = dir.write("Kalmotex.ini",
                 "[Common]\r\nSortNames=0\r\nEmpty=\r\n[Text]\r\n1=" + std::string(40000, 'a') + "\r\n")
              .string();
    ConfigAccess config;
    EXPECT_EQ(config.readIniString("Common", "SortNames", "1", file), "0");
    EXPECT_EQ(config.readIniString("Common", "Missing", "1", file), "1");
    EXPECT_EQ(config.readIniString("Common", "Missing", "", file), "");
    EXPECT_EQ(config.readIniString("Common", "Empty", "1", file), "");
    EXPECT_EQ(config.readIniString("Missing", "SortNames", "7", file), "7");
    EXPECT_EQ(config.readIniString("Text", "1", "", file), std::string(32766, 'a'));
    EXPECT_EQ(config.readIniString("Common", "SortNames", "1", dir.file("none.ini").string()), "1");
}

TEST(ConfigAccess, anEmptyFileNameMeansTheLastFileNamed)
{
    TempDir dir;
    const std::string first = dir.write("a.ini", "[S]\r\nk=a\r\n").string();
    const std::string second = dir.write("b.ini", "[S]\r\nk=b\r\n").string();
    ConfigAccess config;
    EXPECT_EQ(config.readIniString("S", "k", "", ""), "");
    EXPECT_FALSE(config.writeIniString("S", "k", "x", ""));
    EXPECT_EQ(config.lastIniFile(), "");

    EXPECT_EQ(config.readIniString("S", "k", "", first), "a");
    EXPECT_EQ(config.readIniString("S", "k", "", ""), "a");
    EXPECT_EQ(config.lastIniFile(), first);
    EXPECT_TRUE(config.writeIniString("S", "j", "1", second));
    EXPECT_EQ(config.lastIniFile(), second);
    EXPECT_TRUE(config.writeIniString("S", "k", "", ""));
    EXPECT_EQ(readBytes(second), "[S]\r\nk=\r\nj=1\r\n");
    EXPECT_EQ(config.readIniString("S", "k", "d", first), "a");
    EXPECT_EQ(readBytes(first), "[S]\r\nk=a\r\n");
}

TEST(ConfigAccessReadScope, readsInsideAScopeSeeOneVersionOfTheFile)
{
    TempDir dir;
    const std::string file = dir.write("k.ini", "[S]\r\na=1\r\nb=1\r\n").string();
    ConfigAccess config;
    {
        const ConfigAccess::ReadScope outer(config);
        EXPECT_EQ(config.readIniString("S", "a", "", file), "1");
        dir.write("k.ini", "[S]\r\na=2\r\nb=2\r\nc=2\r\n"); // an editor saves midway
        {
            const ConfigAccess::ReadScope inner(config);
            EXPECT_EQ(config.readIniString("S", "b", "", ""), "1");
        }
        EXPECT_EQ(config.readIniString("S", "c", "none", ""), "none")
            << "the inner scope ended, not the outer";
    }
    EXPECT_EQ(config.readIniString("S", "c", "none", ""), "2");

    // A scope that starts before the file is first named still holds for it.
    ConfigAccess fresh;
    const ConfigAccess::ReadScope scope(fresh);
    EXPECT_EQ(fresh.readIniString("S", "a", "", file), "2");
    std::filesystem::remove(file);
    EXPECT_EQ(fresh.readIniString("S", "b", "", file), "2");
}

TEST(ConfigAccessReadScope, writesInsideAScopeStillCheckTheFileAndShowInLaterReads)
{
    TempDir dir;
    const std::string file = dir.write("k.ini", "[S]\r\na=1\r\n").string();
    const std::string other = dir.write("o.ini", "[S]\r\na=o\r\n").string();
    ConfigAccess config;
    const ConfigAccess::ReadScope scope(config);
    EXPECT_EQ(config.readIniString("S", "a", "", file), "1");
    dir.write("k.ini", "[S]\r\na=1\r\nedit=kept\r\n");
    EXPECT_TRUE(config.writeIniString("S", "b", "2", file));
    EXPECT_EQ(readBytes(file), "[S]\r\na=1\r\nedit=kept\r\nb=2\r\n");
    EXPECT_EQ(config.readIniString("S", "b", "", file), "2");
    EXPECT_EQ(config.readIniString("S", "edit", "", file), "kept");

    // Another file named inside the scope is held to one version too.
    EXPECT_EQ(config.readIniString("S", "a", "", other), "o");
    dir.write("o.ini", "[S]\r\na=changed\r\n");
    EXPECT_EQ(config.readIniString("S", "a", "", other), "o");
}
