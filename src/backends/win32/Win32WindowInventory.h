#pragma once

#include "backends/win32/Win32WindowSystem.h"
#include "platform/WindowInventory.h"

namespace kx::platform::win32 {

// The Windows desktop's windows for diagnostics: every shown top-level window in the
// system's stacking order, task bar, tool windows and the program's own included.
class Win32WindowInventory : public WindowInventory
{
public:
    std::vector<WindowHandle> stackBottomUp() override;
    std::string windowTitle(WindowHandle window) override { return m_windows.windowTitle(window); }
    bool isWindowVisible(WindowHandle window) override { return m_windows.isWindowVisible(window); }

private:
    Win32WindowSystem m_windows;
};

} // namespace kx::platform::win32
