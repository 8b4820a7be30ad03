#include "config/ConfigAccess.h"
#include "store/IgnoredTitles.h"
#include "store/Options.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using kx::config::ConfigAccess;
using kx::test::readBytes;
using kx::test::TempDir;

namespace {

const std::filesystem::path kData = KX_TEST_DATA_DIR;

class ConfigReading : public ::testing::Test
{
protected:
    std::string configWith(const std::string& contents)
    {
        return dir.write("Kalmotex.ini", contents).string();
    }

    TempDir dir;
    ConfigAccess config { dir.file("Kalmotex.ini").string() };
};

TEST_F(ConfigReading, anIgnoreSectionWithoutKeyOneGetsTheTwoDefaultTitlesStoredOnesSuppressThem)
{
    kx::store::IgnoredTitles titles(config);
    titles.loadIgnoredTitles();
    EXPECT_EQ(titles.titles(),
        (std::vector<std::string> { "DFÜ-Netzwerkmonitor", "Microsoft Office Shortcut-Leiste" }));
    EXPECT_EQ(readBytes(dir.file("Kalmotex.ini")), readBytes(kData / "default-ignored-titles.expected.ini"));

    configWith("[Ignore]\r\n2=Alt\r\n3=Auch alt\r\n");
    titles.loadIgnoredTitles();
    EXPECT_EQ(titles.count(), 2u);
    EXPECT_EQ(config.readIniString("Ignore", "3", ""), "Auch alt");

    // Stored titles: no defaults; adding appends, a title already there too.
    configWith("[Ignore]\r\n1=Taskleiste\r\n2=Uhr\r\n");
    titles.loadIgnoredTitles();
    ASSERT_EQ(titles.count(), 2u);
    EXPECT_TRUE(titles.addIgnoredTitle("Uhr"));
    EXPECT_EQ(titles.count(), 3u);
    EXPECT_EQ(config.readIniString("Ignore", "3", ""), "Uhr");
    EXPECT_TRUE(titles.contains("Uhr"));
    EXPECT_FALSE(titles.contains("uhr"));

    kx::store::IgnoredTitles reread(config);
    reread.readFromFile();
    EXPECT_EQ(reread.titles(), (std::vector<std::string> { "Taskleiste", "Uhr", "Uhr" }));
}

TEST_F(ConfigReading, sortNamesIsOnForANonZeroSixteenBitNumberAndByDefault)
{
    const struct
    {
        const char* line;
        bool expected;
    } cases[] = {
        { "", true }, // no key
        { "SortNames=0", false },
        { "SortNames=", false }, // an empty value beats the default
        { "SortNames=ja", false },
        { "SortNames=0.5", false }, // rounds to even
        { "SortNames=-1", true },
        { "SortNames=&HFFFF", true },
        { "SortNames=70000", true }, // does not fit: the default
    };
    for (const auto& c : cases) {
        configWith(std::string("[Common]\r\n") + c.line + "\r\n");
        EXPECT_EQ(kx::store::loadSortNamesOption(config), c.expected) << c.line;
    }
}

TEST_F(ConfigReading, popupActivationOptionsOutsideTheirRangeCountAsZero)
{
    using kx::store::BorderStripOptions;
    const struct
    {
        const char* lines;
        BorderStripOptions expected;
    } cases[] = {
        { "", { 0, 0, 0, -2147483633 } },
        { "PumActViaBorder=1\r\nPumActBorderByClick=1\r\nPumActPos=3\r\nPumActBorderCol=255",
            { 1, 1, 3, 255 } },
        { "PumActPos=7", { 0, 0, 0, -2147483633 } },
        { "PumActPos=&H3", { 0, 0, 3, -2147483633 } },
        { "PumActViaBorder=-1\r\nPumActBorderByClick=1.5", { 0, 0, 0, -2147483633 } },
        { "PumActBorderCol=&H8000000F", { 0, 0, 0, -2147483633 } },
        { "PumActBorderCol=3000000000", { 0, 0, 0, -2147483633 } }, // does not fit: the default
        { "PumActBorderCol=blau", { 0, 0, 0, 0 } },
        { "PumActPos=3.5", { 0, 0, 0, -2147483633 } }, // rounds to 4: out of range
        { "PumActPos=1.5", { 0, 0, 2, -2147483633 } }, // half to even
        { "PumActViaBorder=1 Zeile\r\nPumActBorderByClick=&H1", { 1, 1, 0, -2147483633 } },
        { "PumActBorderCol=-2147483648", { 0, 0, 0, -2147483647 - 1 } },
    };
    for (const auto& c : cases) {
        configWith(std::string("[Common]\r\n") + c.lines + "\r\n");
        EXPECT_EQ(kx::store::loadBorderStripOptions(config), c.expected) << c.lines;
    }
}

// How the popup activation options are written: the widget test OptionsDialogTest (their
// order after "&OK") and e2e autostart (the default colour as a signed decimal).

TEST_F(ConfigReading, extraOptionsReadTheirDefaultsAndSurviveARoundTrip)
{
    const std::string path = configWith("[Common]\r\nSortNames=1\r\n");
    EXPECT_EQ(kx::store::loadExtraOptions(config), kx::store::ExtraOptions {});

    const kx::store::ExtraOptions changed { "", false, true, false };
    ASSERT_TRUE(kx::store::saveExtraOptions(config, changed));
    EXPECT_EQ(readBytes(path),
        "[Common]\r\nSortNames=1\r\nHotkey=\r\nSingleInstance=0\r\nTypeToFilter=1\r\nFocusGuard=0\r\n");
    EXPECT_EQ(kx::store::loadExtraOptions(config), changed);

    // Switches read like the classic options: a leading number counts, text alone is off.
    configWith("[Common]\r\nSingleInstance=ja\r\nTypeToFilter=2 Stück\r\n");
    const auto read = kx::store::loadExtraOptions(config);
    EXPECT_FALSE(read.singleInstance);
    EXPECT_TRUE(read.typeToFilter);
    EXPECT_EQ(read.hotkey, "Ctrl+Alt+V");
}

} // namespace
