#include "backends/fake/FakeDesktop.h"

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

TEST(FakeDesktop, activationRaisesAndFocusesSoTypingGoesThere)
{
    FakeDesktop desktop;
    const WindowHandle editor = desktop.openWindow("Editor");
    const WindowHandle shell = desktop.openWindow("Shell");
    EXPECT_TRUE(desktop.activate(editor).confirmed);
    EXPECT_EQ(desktop.stack().front(), editor);
    desktop.type({ { NamedKey::Character, U'A', NoModifier }, { NamedKey::Enter, 0, NoModifier } });
    EXPECT_EQ(desktop.received(editor), "A<Enter>");
    EXPECT_EQ(desktop.received(shell), "");
    EXPECT_EQ(desktop.events(), (std::vector<std::string> { "activate Editor", "type Editor: A<Enter>" }));
}

} // namespace
} // namespace kx::platform
