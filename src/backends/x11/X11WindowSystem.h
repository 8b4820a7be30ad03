#pragma once

#include "backends/x11/X11Connection.h"
#include "platform/WindowSystem.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kx::platform::x11 {

// Top-level windows of an X11 desktop, as an EWMH window manager reports them
// (_NET_CLIENT_LIST_STACKING); without a window manager, the root window's children.
// Every window id is checked against the desktop's list before use: ids are reused, so a
// closed window's id must not yield another window's title. A window that is not listed
// has no title and is not visible.
class X11WindowSystem : public WindowSystem
{
public:
    // Opens the display named by $DISPLAY; throws std::runtime_error when that fails.
    X11WindowSystem();
    explicit X11WindowSystem(std::shared_ptr<X11Connection> connection);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    std::vector<WindowHandle> topLevelWindows() override;
    WindowHandle windowAbove(WindowHandle window) override;
    std::string windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;
    bool activate(WindowHandle window) override;
    // The input focus inside the window and, under an EWMH window manager, the window
    // named by _NET_ACTIVE_WINDOW. Two or three round trips; makes its requests over the
    // shared connection, so a server grab held there covers them.
    bool hasKeyboardFocus(WindowHandle window) override;

    // What went wrong in the last activate() that returned false, for debug output:
    // "activate 0x1a00007 'Editor': timed out after 1000 ms".
    std::string activationError() const override { return m_lastError; }
    // How long activate() waits in all, for the server's timestamp and for the window
    // manager (default 1 s; the keys then go to whichever window has the focus, as they
    // would after a refused activation on any desktop).
    void setActivationTimeout(std::chrono::milliseconds timeout) { m_activationTimeout = timeout; }

private:
    bool windowManagerRunning();
    // Application windows, bottom of the stack first.
    std::vector<Window> stackBottomUp();
    bool isDesktopShell(Window window);
    // True when the id names a window the desktop still lists (ids get reused).
    bool isListed(Window window);
    bool focusIsInside(Window window);
    Window activeWindow();
    // The server's current time; empty when its PropertyNotify did not come by `deadline`.
    std::optional<Time> serverTime(std::chrono::steady_clock::time_point deadline);
    // True once the window manager has handled every request sent to it before (a bounded
    // round trip through it); needs the window serverTime() made.
    bool windowManagerRoundTrip(std::chrono::steady_clock::time_point deadline);

    std::shared_ptr<X11Connection> m_connection;
    Display* m_display;
    Window m_timeWindow = None; // owned: the source of server timestamps
    std::chrono::milliseconds m_activationTimeout { 1000 };
    std::string m_lastError;
};

} // namespace kx::platform::x11
