#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx::platform {

// A top-level window: an X11 window id or a Win32 HWND value. 0 means "no window".
using WindowHandle = std::uint64_t;

// The desktop's top-level application windows, as the window system reports them.
// Adapters report only: titles come back uncut and unconverted in case; trimming,
// upper-casing, ignore lists and the "own window" test belong to the core.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // All top-level application windows, from the top of the stacking order down.
    // Desktop-shell windows (panels, tray hosts, the desktop itself) are not included.
    virtual std::vector<WindowHandle> topLevelWindows() = 0;

    // The window directly above `window` in the stacking order; 0 at the top.
    // A window that is not in the stack (for example a hidden one) counts as below every
    // window, so the walk starts at the bottom-most window.
    virtual WindowHandle windowAbove(WindowHandle window) = 0;

    // The window's title in UTF-8; empty when it has none or no longer exists.
    virtual std::string windowTitle(WindowHandle window) = 0;

    // True when the window is shown on screen (mapped and viewable on X11).
    virtual bool isWindowVisible(WindowHandle window) = 0;

    // Brings the window to the foreground and returns once the activation has taken
    // effect (bounded wait). Returns false when that could not be confirmed in time; the
    // caller then types nothing, as the keys would go to a window nobody chose.
    virtual bool activate(WindowHandle window) = 0;

    // True when keys typed now would reach the window: it is the active window and the
    // keyboard focus is on it or inside it. Asked between batches while a send types.
    virtual bool hasKeyboardFocus(WindowHandle window) = 0;

    // Why the last activate() that returned false failed, for debug output; empty when
    // the backend has nothing to add.
    virtual std::string activationError() const { return {}; }
};

} // namespace kx::platform
