#include "diag/WindowList.h"

#include "backends/fake/FakeDesktop.h"
#include "support/GermanTimeLocale.h"
#include "transmit/Clock.h"

#include <gtest/gtest.h>

namespace kx::diag {
namespace {

using Lines = std::vector<std::string>;
using platform::WindowHandle;

TEST(WindowListTest, linesShowIndexHandleVisibilityAndTitle)
{
    const struct
    {
        const char* name;
        std::size_t index;
        WindowHandle window;
        bool visible;
        std::string title;
        std::string expected;
    } rows[] = {
        { "example", 1, 0x1A2B4, true, "Editor", "001 0001A2B4 V 'Editor'" },
        { "hidden, untitled", 12, 0xFFFFFFFF, false, "", "012 FFFFFFFF X ''" },
        { "index beyond three digits", 1234, 0x3a00007, true, "x", "1234 03A00007 V 'x'" },
        { "apostrophes and umlauts kept", 2, 0x100, true, "Brief 'Ü'", "002 00000100 V 'Brief 'Ü''" },
        { "handle wider than 32 bits", 3, 0x1000000AB, true, "w", "003 1000000AB V 'w'" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(windowListLine(row.index, row.window, row.visible, row.title), row.expected) << row.name;
}

class WindowWalkTest : public testing::Test
{
protected:
    platform::FakeDesktop desktop;
};

TEST_F(WindowWalkTest, walkStartsAtTheMainWindowAndListsEveryWindowAboveItWithoutFilters)
{
    desktop.openWindow("Below");
    const WindowHandle main = desktop.openWindow("[Kalmotex]");
    desktop.openWindow("DFÜ-Netzwerkmonitor");
    desktop.openWindow("");
    desktop.openWindow("Minimised", false);
    desktop.openWindow("[Kalmotex] - Debugger");
    desktop.openWindow("Editor");

    EXPECT_EQ(windowListLines(desktop, main, false, "now"),
        (Lines { "now",
            "001 00000101 V '[Kalmotex]'",
            "002 00000102 V 'DFÜ-Netzwerkmonitor'",
            "003 00000103 V ''",
            "004 00000104 X 'Minimised'",
            "005 00000105 V '[Kalmotex] - Debugger'",
            "006 00000106 V 'Editor'" }));
}

TEST_F(WindowWalkTest, aHiddenMainWindowIsLeftOutOnlyWithVisibleOnlyAndTheWalkStartsAtTheBottom)
{
    const WindowHandle main = desktop.openWindow("[Kalmotex]");
    desktop.openWindow("Terminal");
    desktop.withdraw(main);

    EXPECT_EQ(windowListLines(desktop, main, true, "t"), (Lines { "t", "001 00000101 V 'Terminal'" }));
    EXPECT_EQ(windowListLines(desktop, main, false, "t"),
        (Lines { "t", "001 00000100 X '[Kalmotex]'", "002 00000101 V 'Terminal'" }));
    EXPECT_EQ(windowListLines(desktop, 0, false, "t"), Lines { "t" });
}

TEST_F(WindowWalkTest, titlesAreCutTo127CharactersAsTheSendReadsThem)
{
    const std::string long200(200, 'a');
    const WindowHandle main = desktop.openWindow(long200);
    std::string ae;
    for (int i = 0; i < 130; ++i)
        ae += "ä";
    desktop.openWindow(ae);

    const Lines lines = windowListLines(desktop, main, true, "t");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "001 00000100 V '" + std::string(127, 'a') + "'");
    EXPECT_EQ(lines[2], "002 00000101 V '" + ae.substr(0, 127 * 2) + "'");
}

TEST(WindowListTimeTest, firstLineIsTheLocalesDateAndTime)
{
    test::GermanTimeLocale german;
    ASSERT_TRUE(german.active()) << "the de_DE.UTF-8 locale is missing; scripts/bootstrap generates it";
    EXPECT_EQ(dateTimeLine(transmit::FixedClock(2026, 3, 7, 9, 5, 3)), "07.03.2026 09:05:03");
}

} // namespace
} // namespace kx::diag
