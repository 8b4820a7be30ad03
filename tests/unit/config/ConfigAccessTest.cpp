#include "config/ConfigAccess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace kx::config;
using kx::test::readBytes;
using kx::test::TempDir;

TEST(ConfigAccess, readsGiveTheValueOrTheDefault)
{
    TempDir dir;
    ConfigAccess config(
        dir.write("Kalmotex.ini",
               "[Common]\r\nSortNames=0\r\nEmpty=\r\n[Text]\r\n1=" + std::string(40000, 'a') + "\r\n")
            .string());
    EXPECT_EQ(config.readIniString("Common", "SortNames", "1"), "0");
    EXPECT_EQ(config.readIniString("Common", "Missing", "1"), "1");
    EXPECT_EQ(config.readIniString("Common", "Empty", "1"), "");
    EXPECT_EQ(config.readIniString("Missing", "SortNames", "7"), "7");
    EXPECT_EQ(config.readIniString("Text", "1", ""), std::string(32766, 'a'));
    EXPECT_EQ(ConfigAccess(dir.file("none.ini").string()).readIniString("Common", "SortNames", "1"), "1");
}

TEST(ConfigAccess, readsInsideAScopeSeeOneVersionOfTheFileAndItsOwnWrites)
{
    TempDir dir;
    const std::string file = dir.write("k.ini", "[S]\r\na=1\r\nb=1\r\n").string();
    ConfigAccess config(file);
    {
        const ConfigAccess::ReadScope outer(config);
        EXPECT_EQ(config.readIniString("S", "a", ""), "1");
        dir.write("k.ini", "[S]\r\na=2\r\nb=2\r\nc=2\r\n"); // an editor saves midway
        {
            const ConfigAccess::ReadScope inner(config);
            EXPECT_EQ(config.readIniString("S", "b", ""), "1");
        }
        EXPECT_EQ(config.readIniString("S", "c", "none"), "none") << "the inner scope ended, not the outer";
        // A write checks the file all the same, keeps the edit and shows in later reads.
        EXPECT_TRUE(config.writeIniString("S", "d", "4"));
        EXPECT_EQ(readBytes(file), "[S]\r\na=2\r\nb=2\r\nc=2\r\nd=4\r\n");
        EXPECT_EQ(config.readIniString("S", "d", ""), "4");
    }
    dir.write("k.ini", "[S]\r\nc=3\r\n");
    EXPECT_EQ(config.readIniString("S", "c", "none"), "3");
}
