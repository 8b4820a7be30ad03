#include "TestWindows.h"
#include "backends/win32/Win32WindowInventory.h"
#include "backends/win32/Win32WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kx::platform::win32 {
namespace {

using test::pumpUntil;
using test::TestWindow;

WindowHandle handleOf(const TestWindow& window) { return reinterpret_cast<std::uintptr_t>(window.hwnd()); }

// Position of `window` in `list`, or -1.
long indexIn(const std::vector<WindowHandle>& list, const TestWindow& window)
{
    const auto it = std::find(list.begin(), list.end(), handleOf(window));
    return it == list.end() ? -1 : static_cast<long>(it - list.begin());
}

class WindowStack : public ::testing::Test
{
protected:
    Win32WindowSystem windows;
};

TEST_F(WindowStack, listsWindowsTopFirstWithTheirTitlesHiddenOnesToo)
{
    TestWindow lower(L"Kalmotex test: unten");
    // Long titles come back uncut.
    TestWindow upper(L"Kalmotex test: oben äöü € 😀 " + std::wstring(300, L'x'));
    SetWindowPos(upper.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(pumpUntil([&] { return GetWindow(lower.hwnd(), GW_HWNDPREV) == upper.hwnd(); }));
    // Created last, on top, as the program's hidden main window when a send first asks for
    // it: the walk up from it starts at the bottom of the shown windows and passes it over.
    TestWindow hidden(L"Kalmotex test: versteckt", 0, nullptr, false);

    const std::vector<WindowHandle> list = windows.topLevelWindows();
    ASSERT_GE(indexIn(list, upper), 0);
    ASSERT_GE(indexIn(list, lower), 0);
    EXPECT_GE(indexIn(list, hidden), 0);
    EXPECT_LT(indexIn(list, upper), indexIn(list, lower));
    EXPECT_EQ(windows.windowAbove(handleOf(lower)), handleOf(upper));

    EXPECT_EQ(windows.windowTitle(handleOf(upper)), "Kalmotex test: oben äöü € 😀 " + std::string(300, 'x'));
    EXPECT_EQ(windows.windowTitle(handleOf(hidden)), "Kalmotex test: versteckt");
    EXPECT_TRUE(windows.isWindowVisible(handleOf(lower)));
    EXPECT_FALSE(windows.isWindowVisible(handleOf(hidden)));
    const WindowHandle bottom = windows.windowAbove(handleOf(hidden));
    EXPECT_TRUE(windows.isWindowVisible(bottom));
    for (WindowHandle window = bottom; window != 0; window = windows.windowAbove(window))
        EXPECT_NE(window, handleOf(hidden));

    // The monitor's list: shown windows only, bottom first.
    const std::vector<WindowHandle> stack = Win32WindowInventory().stackBottomUp();
    const auto at = [&](const TestWindow& w) {
        return std::find(stack.begin(), stack.end(), handleOf(w)) - stack.begin();
    };
    EXPECT_LT(at(lower), at(upper));
    EXPECT_LT(at(upper), static_cast<long>(stack.size()));
    EXPECT_EQ(at(hidden), static_cast<long>(stack.size()));
}

TEST_F(WindowStack, toolAndOwnedWindowsAreNoApplicationWindows)
{
    TestWindow main(L"Kalmotex test: Hauptfenster");
    TestWindow tool(L"Kalmotex test: Werkzeug", WS_EX_TOOLWINDOW);
    TestWindow owned(L"Kalmotex test: Dialog", 0, main.hwnd());
    TestWindow ownedWithButton(L"Kalmotex test: eigene Schaltfläche", WS_EX_APPWINDOW, main.hwnd());
    TestWindow toolWithButton(L"Kalmotex test: Werkzeug mit Schaltfläche",
        WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);

    const std::vector<WindowHandle> list = windows.topLevelWindows();
    EXPECT_GE(indexIn(list, main), 0);
    EXPECT_EQ(indexIn(list, tool), -1);
    EXPECT_EQ(indexIn(list, owned), -1);
    EXPECT_GE(indexIn(list, ownedWithButton), 0);
    EXPECT_GE(indexIn(list, toolWithButton), 0);

    // The walk up the stack passes over them too: the tool window was opened right above
    // the main window, yet the window above the main window is the next application window.
    const WindowHandle above = windows.windowAbove(handleOf(main));
    EXPECT_NE(above, handleOf(tool));
    EXPECT_NE(above, handleOf(owned));
    EXPECT_TRUE(Win32WindowSystem::isApplicationWindow(above) || above == 0);
}

TEST_F(WindowStack, closedWindowHasNoTitleAndCountsAsBelowEveryWindow)
{
    TestWindow remaining(L"Kalmotex test: bleibt");
    WindowHandle closed = 0;
    {
        TestWindow gone(L"Kalmotex test: geschlossen");
        closed = handleOf(gone);
    }
    EXPECT_EQ(windows.windowTitle(closed), "");
    EXPECT_FALSE(windows.isWindowVisible(closed));
    const std::vector<WindowHandle> list = windows.topLevelWindows();
    const auto bottom = std::find_if(list.rbegin(), list.rend(), [this](WindowHandle w) {
        return windows.isWindowVisible(w);
    });
    ASSERT_NE(bottom, list.rend());
    EXPECT_EQ(windows.windowAbove(closed), *bottom);
    const ActivationResult activated = windows.activate(closed);
    EXPECT_FALSE(activated.confirmed);
    EXPECT_NE(activated.error.find("no such window"), std::string::npos) << activated.error;
}

TEST_F(WindowStack, activationBringsEachWindowToTheForegroundAMinimisedOneRestored)
{
    TestWindow a(L"Kalmotex test: A");
    TestWindow b(L"Kalmotex test: B");
    ShowWindow(b.hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(pumpUntil([&] { return IsIconic(b.hwnd()) != 0; }));
    for (const TestWindow* window : { &a, &b, &a }) {
        {
            const ActivationResult activated = windows.activate(handleOf(*window));
            ASSERT_TRUE(activated.confirmed) << activated.error;
        }
        EXPECT_EQ(GetForegroundWindow(), window->hwnd());
        EXPECT_FALSE(IsIconic(window->hwnd()));
        // The activated window is the top visible application window now.
        const std::vector<WindowHandle> list = windows.topLevelWindows();
        const auto top = std::find_if(list.begin(), list.end(), [&](WindowHandle w) {
            return windows.isWindowVisible(w);
        });
        ASSERT_NE(top, list.end());
        EXPECT_EQ(*top, handleOf(*window));
    }
}

} // namespace
} // namespace kx::platform::win32
