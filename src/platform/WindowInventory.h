#pragma once

#include "platform/WindowSystem.h"

#include <string>
#include <vector>

namespace kx::platform {

// Every top-level window of the desktop as it is, for diagnostics. Unlike WindowSystem,
// which reports the application windows a send may go to, it leaves nothing out: panels
// and docks, the program's own windows, and windows the desktop does not list (a hidden
// window still has its title).
class WindowInventory
{
public:
    virtual ~WindowInventory() = default;

    // The stacking order, bottom first, of every window on it. Hidden (unmapped) windows
    // are not on it.
    virtual std::vector<WindowHandle> stackBottomUp() = 0;

    // The title the window itself carries, in UTF-8, whether the desktop lists the window
    // or not; empty when it has none or no longer exists.
    virtual std::string windowTitle(WindowHandle window) = 0;

    // True when the window is shown on screen (mapped and viewable on X11).
    virtual bool isWindowVisible(WindowHandle window) = 0;
};

} // namespace kx::platform
