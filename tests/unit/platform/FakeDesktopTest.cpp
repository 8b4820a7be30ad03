#include "platform/fake/FakeDesktop.h"

#include <gtest/gtest.h>

namespace kx::platform {
namespace {

TEST(FakeDesktop, walksTheStackUpwardAndStartsAtTheBottomForAWithdrawnWindow)
{
    FakeDesktop desktop;
    const WindowHandle main = desktop.openWindow("[Kalmotex]");
    const WindowHandle editor = desktop.openWindow("Editor");
    const WindowHandle shell = desktop.openWindow("Shell");
    EXPECT_EQ(desktop.topLevelWindows(), (std::vector<WindowHandle> { shell, editor, main }));
    EXPECT_EQ(desktop.windowAbove(main), editor);
    EXPECT_EQ(desktop.windowAbove(editor), shell);
    EXPECT_EQ(desktop.windowAbove(shell), 0u);

    desktop.withdraw(main);
    EXPECT_FALSE(desktop.isWindowVisible(main));
    EXPECT_EQ(desktop.windowAbove(main), editor);
    EXPECT_EQ(desktop.topLevelWindows(), (std::vector<WindowHandle> { shell, editor }));

    desktop.setVisible(main, true);
    EXPECT_EQ(desktop.topLevelWindows().front(), main);
}

TEST(FakeDesktop, hiddenWindowsKeepTheirPlaceInTheStack)
{
    FakeDesktop desktop;
    const WindowHandle lower = desktop.openWindow("Lower");
    const WindowHandle hidden = desktop.openWindow("Hidden", false);
    EXPECT_FALSE(desktop.isWindowVisible(hidden));
    EXPECT_EQ(desktop.windowAbove(lower), hidden);
    EXPECT_EQ(desktop.focusedWindow(), lower);
}

TEST(FakeDesktop, activationRaisesAndFocusesSoTypingGoesThere)
{
    FakeDesktop desktop;
    const WindowHandle editor = desktop.openWindow("Editor");
    const WindowHandle shell = desktop.openWindow("Shell");
    EXPECT_TRUE(desktop.activate(editor));
    EXPECT_EQ(desktop.stack().front(), editor);
    desktop.type({ { NamedKey::Character, U'A', NoModifier }, { NamedKey::Enter, 0, NoModifier } });
    EXPECT_EQ(desktop.received(editor), "A<Enter>");
    EXPECT_EQ(desktop.received(shell), "");
    EXPECT_EQ(desktop.events(), (std::vector<std::string> { "activate Editor", "type Editor: A<Enter>" }));
}

TEST(FakeDesktop, failedActivationLeavesTheFocusWhereItWas)
{
    FakeDesktop desktop;
    const WindowHandle editor = desktop.openWindow("Editor");
    const WindowHandle shell = desktop.openWindow("Shell");
    desktop.setActivationFails(true);
    EXPECT_FALSE(desktop.activate(editor));
    EXPECT_EQ(desktop.focusedWindow(), shell);
    EXPECT_FALSE(desktop.activate(0x999));
}

TEST(FakeDesktop, typingWithoutAFocusedWindowIsRecordedForNobody)
{
    FakeDesktop desktop;
    const WindowHandle editor = desktop.openWindow("Editor");
    desktop.closeWindow(editor);
    EXPECT_EQ(desktop.focusedWindow(), 0u);
    desktop.type({ { NamedKey::Character, U'x', Alt } });
    EXPECT_EQ(desktop.receivedByNobody(), "<Alt+x>");
}

TEST(FakeDesktop, clipboardKeepsEveryTextAndCanRefuse)
{
    FakeDesktop desktop;
    EXPECT_TRUE(desktop.setText("one"));
    EXPECT_TRUE(desktop.setText("two"));
    desktop.setClipboardFails(true);
    EXPECT_FALSE(desktop.setText("three"));
    EXPECT_EQ(desktop.clipboardHistory(), (std::vector<std::string> { "one", "two" }));
    EXPECT_EQ(desktop.clipboardText(), "two");
}

} // namespace
} // namespace kx::platform
