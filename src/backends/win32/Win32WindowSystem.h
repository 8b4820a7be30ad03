#pragma once

#include "platform/WindowSystem.h"

#include <chrono>
#include <string>
#include <vector>

namespace kx::platform::win32 {

// Top-level windows of the Windows desktop in EnumWindows order (top of the z-order
// first). Only windows the task bar would show count as application windows: tool
// windows and owned windows are left out unless they ask for a task-bar button
// (WS_EX_APPWINDOW), and so are the shell's desktop and task bar. Hidden windows are
// listed (their titles can be searched); isWindowVisible() tells them apart.
class Win32WindowSystem : public WindowSystem
{
public:
    std::vector<WindowHandle> topLevelWindows() override;
    // The next application window up the z-order (GW_HWNDPREV, skipping the rest).
    WindowHandle windowAbove(WindowHandle window) override;
    std::string windowTitle(WindowHandle window) override;
    // IsWindowVisible, except that a window the compositor hides (a suspended store app,
    // a window on another virtual desktop) is not visible.
    bool isWindowVisible(WindowHandle window) override;
    // SetForegroundWindow; when the system refuses (another program has the foreground
    // and we are not allowed to take it), again with our input attached to the foreground
    // window's thread. Succeeds once the window is the foreground window.
    ActivationResult activate(WindowHandle window) override;
    // The keys typed go to the foreground window's focused control, so the window has the
    // keyboard when it is the foreground window.
    bool hasKeyboardFocus(WindowHandle window) override;
    // The error says "activate 0x1a00007 'Editor': still not the foreground window after
    // 1000 ms".

    void setActivationTimeout(std::chrono::milliseconds timeout) { m_activationTimeout = timeout; }

    // The task-bar rule for one window, as above (visibility aside).
    static bool isApplicationWindow(WindowHandle window);

private:
    std::chrono::milliseconds m_activationTimeout { 1000 };
};

} // namespace kx::platform::win32
