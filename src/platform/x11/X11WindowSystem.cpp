#include "platform/x11/X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace kx::platform::x11 {

namespace {

std::string hexId(WindowHandle window)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(window));
    return buffer;
}

} // namespace

X11WindowSystem::X11WindowSystem()
    : X11WindowSystem(std::make_shared<X11Connection>())
{
}

X11WindowSystem::X11WindowSystem(std::shared_ptr<X11Connection> connection)
    : m_connection(std::move(connection))
    , m_display(m_connection->display())
{
}

X11WindowSystem::~X11WindowSystem()
{
    if (m_timeWindow != None) {
        ErrorTrap trap(m_display);
        XDestroyWindow(m_display, m_timeWindow);
    }
}

bool X11WindowSystem::windowManagerRunning()
{
    // EWMH: the window named on the root must name itself, or the manager has gone.
    const Atom check = m_connection->atom("_NET_SUPPORTING_WM_CHECK");
    const auto onRoot = readCardinalProperty(m_display, m_connection->root(), check, XA_WINDOW);
    if (onRoot.empty() || onRoot[0] == None)
        return false;
    const auto onChild = readCardinalProperty(m_display, onRoot[0], check, XA_WINDOW);
    return !onChild.empty() && onChild[0] == onRoot[0];
}

std::vector<Window> X11WindowSystem::stackBottomUp()
{
    std::vector<Window> windows;
    if (windowManagerRunning()) {
        for (const unsigned long id : readCardinalProperty(m_display,
                 m_connection->root(),
                 m_connection->atom("_NET_CLIENT_LIST_STACKING"),
                 XA_WINDOW))
            windows.push_back(id);
    } else {
        ErrorTrap trap(m_display);
        Window rootReturn = None;
        Window parent = None;
        Window* raw = nullptr;
        unsigned int count = 0;
        if (XQueryTree(m_display, m_connection->root(), &rootReturn, &parent, &raw, &count)) {
            XPtr<Window> children(raw);
            for (unsigned int i = 0; i < count; ++i) {
                // Menus, tooltips and other override-redirect windows are no application windows.
                XWindowAttributes attributes;
                if (XGetWindowAttributes(m_display, children.get()[i], &attributes)
                    && !attributes.override_redirect && attributes.c_class == InputOutput)
                    windows.push_back(children.get()[i]);
            }
        }
    }
    std::erase_if(windows, [this](Window w) { return isDesktopShell(w); });
    return windows;
}

bool X11WindowSystem::isDesktopShell(Window window)
{
    const auto types
        = readCardinalProperty(m_display, window, m_connection->atom("_NET_WM_WINDOW_TYPE"), XA_ATOM);
    const Atom dock = m_connection->atom("_NET_WM_WINDOW_TYPE_DOCK");
    const Atom desktop = m_connection->atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    return std::any_of(types.begin(), types.end(), [&](unsigned long t) {
        return t == dock || t == desktop;
    });
}

bool X11WindowSystem::isListed(Window window)
{
    if (window == None)
        return false;
    std::vector<unsigned long> listed;
    if (windowManagerRunning()) {
        listed = readCardinalProperty(m_display,
            m_connection->root(),
            m_connection->atom("_NET_CLIENT_LIST"),
            XA_WINDOW);
    } else {
        for (const Window w : stackBottomUp())
            listed.push_back(w);
    }
    return std::find(listed.begin(), listed.end(), window) != listed.end();
}

std::vector<WindowHandle> X11WindowSystem::topLevelWindows()
{
    const auto stack = stackBottomUp();
    return std::vector<WindowHandle>(stack.rbegin(), stack.rend());
}

WindowHandle X11WindowSystem::windowAbove(WindowHandle window)
{
    const auto stack = stackBottomUp();
    const auto it = std::find(stack.begin(), stack.end(), static_cast<Window>(window));
    if (it == stack.end())
        return stack.empty() ? 0 : stack.front();
    const auto above = std::next(it);
    return above == stack.end() ? 0 : *above;
}

std::string X11WindowSystem::windowTitle(WindowHandle handle)
{
    const Window window = static_cast<Window>(handle);
    if (!isListed(window))
        return {};
    return readWindowTitle(*m_connection, window);
}

bool X11WindowSystem::isWindowVisible(WindowHandle handle)
{
    const Window window = static_cast<Window>(handle);
    if (!isListed(window))
        return false;
    ErrorTrap trap(m_display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes) || trap.failed())
        return false;
    return attributes.map_state == IsViewable;
}

Window X11WindowSystem::activeWindow()
{
    const auto active = readCardinalProperty(m_display,
        m_connection->root(),
        m_connection->atom("_NET_ACTIVE_WINDOW"),
        XA_WINDOW);
    return active.empty() ? None : active[0];
}

bool X11WindowSystem::focusIsInside(Window window)
{
    ErrorTrap trap(m_display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    // The focus may sit on a child of the client (or on the client itself).
    for (int depth = 0; focus != None && focus != PointerRoot && depth < 64; ++depth) {
        if (focus == window)
            return true;
        Window rootReturn = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, focus, &rootReturn, &parent, &children, &count))
            return false;
        XPtr<Window> owned(children);
        if (parent == rootReturn)
            return false;
        focus = parent;
    }
    return false;
}

bool X11WindowSystem::hasKeyboardFocus(WindowHandle handle)
{
    const Window window = static_cast<Window>(handle);
    // The input focus decides where key events go; the window manager's view is checked too
    // because it may be about to move the focus (it sets _NET_ACTIVE_WINDOW as it does).
    if (window == None || !focusIsInside(window))
        return false;
    const Window active = activeWindow();
    // A property left behind by a window manager that has gone says nothing.
    return active == window || !windowManagerRunning();
}

bool X11WindowSystem::windowManagerRoundTrip(std::chrono::steady_clock::time_point deadline)
{
    if (m_timeWindow == None)
        return false;
    // EWMH _NET_REQUEST_FRAME_EXTENTS: the window manager answers by setting
    // _NET_FRAME_EXTENTS on our window, and it handles requests in order, so the answer
    // says it has also handled the activation sent before (and moved the focus as it does).
    const Atom extents = m_connection->atom("_NET_FRAME_EXTENTS");
    const Window timeWindow = m_timeWindow;
    XDeleteProperty(m_display, timeWindow, extents);
    XEvent request {};
    request.xclient.type = ClientMessage;
    request.xclient.window = timeWindow;
    request.xclient.message_type = m_connection->atom("_NET_REQUEST_FRAME_EXTENTS");
    request.xclient.format = 32;
    XSendEvent(m_display,
        m_connection->root(),
        False,
        SubstructureRedirectMask | SubstructureNotifyMask,
        &request);
    XEvent answer;
    return waitForEvent(
        m_display,
        deadline,
        [timeWindow, extents](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == timeWindow && e.xproperty.atom == extents
                && e.xproperty.state == PropertyNewValue;
        },
        answer);
}

std::optional<Time> X11WindowSystem::serverTime(std::chrono::steady_clock::time_point deadline)
{
    // A zero-length append to a property of our own window yields a PropertyNotify that
    // carries the server's current time (ICCCM's way to get a timestamp).
    if (m_timeWindow == None) {
        XSetWindowAttributes attributes {};
        attributes.event_mask = PropertyChangeMask;
        m_timeWindow = XCreateWindow(m_display,
            m_connection->root(),
            -10,
            -10,
            1,
            1,
            0,
            0,
            InputOnly,
            CopyFromParent,
            CWEventMask,
            &attributes);
    }
    const Atom stamp = m_connection->atom("_KALMOTEX_TIMESTAMP");
    XChangeProperty(m_display, m_timeWindow, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    const Window timeWindow = m_timeWindow;
    if (waitForEvent(
            m_display,
            deadline,
            [timeWindow, stamp](const XEvent& e) {
                // Not a PropertyDelete: destroying the window deletes the property too.
                return e.type == PropertyNotify && e.xproperty.window == timeWindow
                    && e.xproperty.atom == stamp && e.xproperty.state == PropertyNewValue;
            },
            event))
        return event.xproperty.time;
    // Another client may have destroyed the window: the next activation starts with a new one.
    {
        ErrorTrap trap(m_display);
        XDestroyWindow(m_display, m_timeWindow);
    }
    m_timeWindow = None;
    return std::nullopt;
}

bool X11WindowSystem::activate(WindowHandle handle)
{
    const Window window = static_cast<Window>(handle);
    m_lastError.clear();
    const auto fail = [&](const std::string& why) {
        m_lastError = "activate " + hexId(handle) + " '" + windowTitle(handle) + "': " + why;
        return false;
    };
    if (!isListed(window))
        return fail("not a top-level window of the desktop (closed?)");

    const auto deadline = std::chrono::steady_clock::now() + m_activationTimeout;
    const std::string timeout = std::to_string(m_activationTimeout.count()) + " ms";
    const bool managed = windowManagerRunning();
    {
        ErrorTrap trap(m_display);
        if (managed) {
            const std::optional<Time> now = serverTime(deadline);
            if (!now) {
                const std::string error = trap.failed() ? " (" + trap.firstError() + ")" : "";
                return fail("no timestamp from the X server within " + timeout + error);
            }
            // EWMH _NET_ACTIVE_WINDOW; source 2 (a pager) because the request acts for the
            // user, so focus-stealing prevention does not apply.
            XEvent event {};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = m_connection->atom("_NET_ACTIVE_WINDOW");
            event.xclient.format = 32;
            event.xclient.data.l[0] = 2;
            event.xclient.data.l[1] = static_cast<long>(*now);
            event.xclient.data.l[2] = 0;
            XSendEvent(m_display,
                m_connection->root(),
                False,
                SubstructureRedirectMask | SubstructureNotifyMask,
                &event);
            // Typing starts once the window manager is done with the request: even for a
            // window that is active already, it may still move the focus around it. A
            // window manager that does not answer leaves the check below to decide.
            windowManagerRoundTrip(deadline);
        } else {
            XRaiseWindow(m_display, window);
            XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        }
        if (trap.failed())
            return fail(trap.firstError());
    }

    for (;;) {
        const bool active = !managed || activeWindow() == window;
        if (active && focusIsInside(window))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return fail("timed out after " + timeout);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace kx::platform::x11
