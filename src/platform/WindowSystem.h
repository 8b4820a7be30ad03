#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx::platform {

// A top-level window: an X11 window id or a Win32 HWND value. 0 means "no window".
using WindowHandle = std::uint64_t;

// How an activation went. The two names say which way the backend took and what showed
// that it had worked, in the platform's own terms, for diagnostics: request
// "_NET_ACTIVE_WINDOW", confirmation "FocusIn". An empty request with `confirmed` means the
// window had the keyboard already and nothing was asked of anybody.
struct ActivationResult
{
    bool confirmed = false;
    std::string request;
    std::string confirmation; // empty when not confirmed
    // Why it was not confirmed, with what was attempted and for which window:
    // "activate 0x1a00007 'Editor': timed out after 1000 ms"; empty when confirmed.
    std::string error;
};

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

    // Asks the desktop to make the window the active one with the keyboard focus, and
    // returns once that is confirmed, once the ways the platform has were all ignored, or
    // when the bounded wait ran out; a window that has the keyboard already is left alone
    // (confirmed, empty request). An unconfirmed result does not stop the caller: where
    // the keys then go is the caller's decision.
    [[nodiscard]] virtual ActivationResult activate(WindowHandle window) = 0;

    // True when keys typed now would reach the window: it is the active window and the
    // keyboard focus is on it or inside it. Asked between batches while a send types.
    virtual bool hasKeyboardFocus(WindowHandle window) = 0;

    // A file descriptor that becomes readable when the desktop has news for the backend
    // (the active window changed); -1 when it needs none. dispatchEvents() takes them in
    // without blocking; between calls, the backend stays correct without it, only less
    // informed about the order in which windows were used.
    virtual int eventDescriptor() const { return -1; }
    virtual void dispatchEvents() { }
};

} // namespace kx::platform
