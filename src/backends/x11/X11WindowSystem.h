#pragma once

#include "backends/x11/X11Connection.h"
#include "platform/WindowSystem.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kx::platform::x11 {

// Top-level windows of an X11 desktop and their activation, with what the window manager
// offers (its EWMH _NET_SUPPORTED list, read again when the manager is replaced):
//  - the stack puts the windows used since this object was made on top, the latest
//    highest (changes of _NET_ACTIVE_WINDOW and of the input focus), as activating a
//    window raises it on other desktops; below them the others in the manager's
//    _NET_CLIENT_LIST_STACKING or, without one, the clients (_NET_CLIENT_LIST, or the
//    windows carrying the ICCCM WM_STATE) in the X server's stacking order of their frames;
//  - activation asks the manager (_NET_ACTIVE_WINDOW), then, when it visibly ignores
//    that, crosses the window with a synthetic EnterNotify (managers that focus on pointer
//    crossing, as dwm does), then raises and focuses the window itself (XSetInputFocus, the
//    only way without EWMH). Each way is confirmed by the event that shows it took effect;
//    a way that changes nothing within two round trips through the manager counts as
//    refused, so a missing feature costs milliseconds, not the bound.
// Every window id is checked against the desktop's clients before use: ids are reused, so
// a closed window's id must not yield another window's title. A window that is not listed
// has no title and is not visible.
class X11WindowSystem : public WindowSystem
{
public:
    // What the running window manager offers, as it announces it on the root window.
    struct WindowManagerFeatures
    {
        bool ewmh = false; // _NET_SUPPORTING_WM_CHECK names a window that names itself
        Window checkWindow = None;
        bool activeWindow = false; // the rest: listed in _NET_SUPPORTED
        bool clientList = false;
        bool stackingList = false;
        bool frameExtents = false; // _NET_REQUEST_FRAME_EXTENTS
    };

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
    // Nothing is asked when the window has the keyboard already. Errors read
    // "activate 0x1a00007 'Editor': timed out after 1000 ms".
    ActivationResult activate(WindowHandle window) override;
    // The input focus inside the window and, under a window manager that keeps
    // _NET_ACTIVE_WINDOW, the window it names. Once confirmed, it stays confirmed while no
    // event has come that may mean a change (a focus event on the window, a change of a
    // root property): then the answer costs one round trip, else three or four. Makes its
    // requests over the shared connection, so a server grab held there covers them.
    bool hasKeyboardFocus(WindowHandle window) override;
    int eventDescriptor() const override;
    void dispatchEvents() override;

    // The features of the window manager running now (read once per manager).
    const WindowManagerFeatures& windowManager();
    // How long activate() waits in all, for the server's timestamp and for the window
    // manager (default 1 s; the keys then go to whichever window has the focus, as they
    // would after a refused activation on any desktop).
    void setActivationTimeout(std::chrono::milliseconds timeout) { m_activationTimeout = timeout; }

private:
    enum class Waited
    {
        Confirmed,
        Refused,
        TimedOut,
    };

    // Handles every event that has arrived (after a round trip when `sync`).
    void takeEvents(bool sync);
    void handle(const XEvent& event);
    void rememberUse(Window client);
    // The client windows, in no particular order.
    std::vector<Window> clients();
    // Application windows, bottom of the stack first.
    std::vector<Window> stackBottomUp();
    // Clients in the X server's stacking order of their frames, bottom first; read again
    // only after the root's children have changed.
    std::vector<Window> clientsInServerOrder();
    std::vector<Window> readClientsInServerOrder();
    Window clientOf(Window window);
    bool isDesktopShell(Window window);
    // True when the id names a window the desktop still lists (ids get reused).
    bool isListed(Window window);
    void watchFocus(Window client);
    // hasKeyboardFocus() over the events taken so far: true at once for the window last
    // confirmed when no event since may mean a change, else asks the server.
    bool focusConfirmedSinceEvents(Window window);
    // Asks the server whether the window has the keyboard, as hasKeyboardFocus() says.
    bool focusIsOn(Window window);
    bool focusIsInside(Window window);
    Window activeWindow();
    // _NET_ACTIVE_WINDOW (None without one) and the input focus, as they are now.
    std::pair<Window, Window> keyboardState();
    // The server's current time; empty when its PropertyNotify did not come by `deadline`.
    std::optional<Time> serverTime(std::chrono::steady_clock::time_point deadline);
    // Starts a round trip through the window manager (or, without one, the server): a
    // ConfigureRequest for our own unmapped window, which every manager passes on, plus
    // _NET_REQUEST_FRAME_EXTENTS where the manager offers it. A manager handles its events
    // in order, so either answer says it has handled every request sent before.
    void startRoundTrip();
    // Waits until the window has the keyboard (`confirmation` names the event after which
    // it had), until two round trips find the keyboard state still `before`, or until
    // `deadline`.
    Waited awaitActivation(Window window,
        std::chrono::steady_clock::time_point deadline,
        std::pair<Window, Window> before,
        std::string& confirmation);
    void ensureTimeWindow();

    std::shared_ptr<X11Connection> m_connection;
    Display* m_display;
    Window m_timeWindow = None; // owned: the source of server timestamps and round trips
    std::chrono::milliseconds m_activationTimeout { 1000 };
    std::optional<WindowManagerFeatures> m_features;
    std::optional<std::vector<Window>> m_serverOrder;
    std::vector<Window> m_used; // clients in the order they were last used, the latest last
    std::vector<Window> m_watched; // clients whose focus changes this connection selects
    Window m_focusConfirmed = None; // had the keyboard at the last check, no event since
    int m_roundTrip = 0; // the number of the last round trip started
    int m_roundTripsAnswered = 0; // the number of the last one answered
    std::string m_roundTripAnswer; // the event that answered the last one
};

} // namespace kx::platform::x11
