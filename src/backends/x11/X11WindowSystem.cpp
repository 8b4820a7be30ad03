#include "backends/x11/X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <poll.h>

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
    // The root's properties say when the active window changes and when another window
    // manager takes over, and its children's changes make the stack read from the server
    // stale.
    XSelectInput(m_display, m_connection->root(), PropertyChangeMask | SubstructureNotifyMask);
    const WindowManagerFeatures& wm = windowManager();
    Window first = wm.ewmh && wm.activeWindow ? activeWindow() : None;
    if (first == None) {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(m_display, &focus, &revert);
        first = clientOf(focus);
    }
    if (first != None) {
        watchFocus(first);
        rememberUse(first);
    }
}

X11WindowSystem::~X11WindowSystem()
{
    ErrorTrap trap(m_display);
    if (m_timeWindow != None)
        XDestroyWindow(m_display, m_timeWindow);
    for (const Window w : m_watched)
        XSelectInput(m_display, w, NoEventMask);
    XSelectInput(m_display, m_connection->root(), NoEventMask);
}

int X11WindowSystem::eventDescriptor() const { return ConnectionNumber(m_display); }

void X11WindowSystem::dispatchEvents() { takeEvents(false); }

void X11WindowSystem::takeEvents(bool sync)
{
    if (sync)
        XSync(m_display, False);
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        handle(event);
    }
}

void X11WindowSystem::handle(const XEvent& event)
{
    // A focus event on a watched window or a change of a root property (the active window,
    // the window manager) may mean the focus has moved; a keymap change (ours, while typing)
    // cannot. Anything else is rare while keys are typed and costs one check.
    if (event.type != MappingNotify)
        m_focusConfirmed = None;
    const Window root = m_connection->root();
    if (event.type == PropertyNotify && event.xproperty.window == root) {
        const Atom atom = event.xproperty.atom;
        if (atom == m_connection->atom("_NET_SUPPORTED")
            || atom == m_connection->atom("_NET_SUPPORTING_WM_CHECK")) {
            m_features.reset();
            m_serverOrder.reset();
        } else if (atom == m_connection->atom("_NET_CLIENT_LIST")) {
            m_serverOrder.reset();
        } else if (atom == m_connection->atom("_NET_ACTIVE_WINDOW")) {
            const WindowManagerFeatures& wm = windowManager();
            if (wm.ewmh && wm.activeWindow) {
                const Window active = activeWindow();
                if (active != None) {
                    watchFocus(active);
                    rememberUse(active);
                }
            }
        }
    } else if (event.xany.window == root
        && (event.type == CreateNotify || event.type == DestroyNotify || event.type == MapNotify
            || event.type == UnmapNotify || event.type == ReparentNotify || event.type == ConfigureNotify
            || event.type == CirculateNotify)) {
        // SubstructureNotify: the root's children or their stacking changed.
        m_serverOrder.reset();
    } else if (event.type == DestroyNotify && m_features
        && event.xdestroywindow.window == m_features->checkWindow) {
        // The window manager has gone (or crashed) without tidying the root.
        m_features.reset();
    } else if (event.type == FocusIn && event.xfocus.mode != NotifyGrab && event.xfocus.mode != NotifyUngrab
        && event.xfocus.detail != NotifyPointer && event.xfocus.detail != NotifyPointerRoot
        && event.xfocus.detail != NotifyDetailNone) {
        if (std::find(m_watched.begin(), m_watched.end(), event.xfocus.window) != m_watched.end())
            rememberUse(event.xfocus.window);
    }
}

void X11WindowSystem::rememberUse(Window client)
{
    std::erase(m_used, client);
    m_used.push_back(client);
    constexpr std::size_t kept = 512;
    if (m_used.size() > kept)
        m_used.erase(m_used.begin());
}

void X11WindowSystem::watchFocus(Window client)
{
    if (client == None || std::find(m_watched.begin(), m_watched.end(), client) != m_watched.end())
        return;
    ErrorTrap trap(m_display);
    XSelectInput(m_display, client, FocusChangeMask);
    if (!trap.failed())
        m_watched.push_back(client);
}

const X11WindowSystem::WindowManagerFeatures& X11WindowSystem::windowManager()
{
    if (m_features)
        return *m_features;
    WindowManagerFeatures wm;
    // EWMH: the window named on the root must name itself, or the manager has gone.
    const Atom check = m_connection->atom("_NET_SUPPORTING_WM_CHECK");
    const auto onRoot = readCardinalProperty(m_display, m_connection->root(), check, XA_WINDOW);
    if (!onRoot.empty() && onRoot[0] != None) {
        const auto onChild = readCardinalProperty(m_display, onRoot[0], check, XA_WINDOW);
        if (!onChild.empty() && onChild[0] == onRoot[0]) {
            ErrorTrap trap(m_display);
            // Its destruction says the manager is gone.
            XSelectInput(m_display, onRoot[0], StructureNotifyMask);
            wm.ewmh = !trap.failed();
            wm.checkWindow = onRoot[0];
        }
    }
    if (wm.ewmh) {
        const auto supported = readCardinalProperty(m_display,
            m_connection->root(),
            m_connection->atom("_NET_SUPPORTED"),
            XA_ATOM);
        const auto offers = [&](const char* name) {
            return std::find(supported.begin(), supported.end(), m_connection->atom(name)) != supported.end();
        };
        wm.activeWindow = offers("_NET_ACTIVE_WINDOW");
        wm.clientList = offers("_NET_CLIENT_LIST");
        wm.stackingList = offers("_NET_CLIENT_LIST_STACKING");
        wm.frameExtents = offers("_NET_REQUEST_FRAME_EXTENTS");
    }
    m_features = wm;
    return *m_features;
}

std::vector<Window> X11WindowSystem::clients()
{
    const WindowManagerFeatures& wm = windowManager();
    if (wm.ewmh && (wm.clientList || wm.stackingList)) {
        const Atom list
            = m_connection->atom(wm.clientList ? "_NET_CLIENT_LIST" : "_NET_CLIENT_LIST_STACKING");
        const auto ids = readCardinalProperty(m_display, m_connection->root(), list, XA_WINDOW);
        return std::vector<Window>(ids.begin(), ids.end());
    }
    return clientsInServerOrder();
}

namespace {

std::vector<Window> childrenOf(Display* display, Window window, Window* parent = nullptr)
{
    ErrorTrap trap(display);
    Window rootReturn = None;
    Window parentReturn = None;
    Window* raw = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootReturn, &parentReturn, &raw, &count))
        return {};
    XPtr<Window> children(raw);
    if (parent)
        *parent = parentReturn;
    return std::vector<Window>(children.get(), children.get() + count);
}

} // namespace

std::vector<Window> X11WindowSystem::clientsInServerOrder()
{
    // Walking the tree takes a few round trips per window, and a last-used walk asks for
    // the stack at every step: kept until the root's children change.
    if (!m_serverOrder)
        m_serverOrder = readClientsInServerOrder();
    return *m_serverOrder;
}

std::vector<Window> X11WindowSystem::readClientsInServerOrder()
{
    const Window root = m_connection->root();
    const std::vector<Window> topLevel = childrenOf(m_display, root); // bottom first
    const WindowManagerFeatures& wm = windowManager();
    std::vector<Window> ordered;
    if (wm.ewmh && wm.clientList) {
        // Each client by the place of its frame (itself, under a manager that does not
        // reparent) among the root's children.
        const auto listed
            = readCardinalProperty(m_display, root, m_connection->atom("_NET_CLIENT_LIST"), XA_WINDOW);
        std::vector<std::pair<std::size_t, Window>> placed;
        for (const unsigned long client : listed) {
            Window w = client;
            for (int depth = 0; depth < 8; ++depth) {
                Window parent = None;
                childrenOf(m_display, w, &parent);
                if (parent == None || parent == root)
                    break;
                w = parent;
            }
            const auto it = std::find(topLevel.begin(), topLevel.end(), w);
            placed.emplace_back(static_cast<std::size_t>(it - topLevel.begin()), client);
        }
        std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
            return a.first < b.first;
        });
        for (const auto& [place, client] : placed)
            ordered.push_back(client);
        return ordered;
    }
    // ICCCM: a window manager marks the clients it manages with WM_STATE, inside the frames
    // it made for them; without one, the root's children are the application windows.
    const Atom wmState = m_connection->atom("WM_STATE");
    std::vector<Window> unmanaged;
    // One trap for the whole walk: a window that vanishes meanwhile is simply skipped.
    ErrorTrap trap(m_display);
    const auto hasState = [&](Window w) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* raw = nullptr;
        const int status = XGetWindowProperty(m_display,
            w,
            wmState,
            0,
            0,
            False,
            AnyPropertyType,
            &type,
            &format,
            &count,
            &remaining,
            &raw);
        XPtr<unsigned char> data(raw);
        return status == Success && type != None;
    };
    const auto childrenHere = [&](Window w) {
        Window rootReturn = None;
        Window parent = None;
        Window* raw = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, w, &rootReturn, &parent, &raw, &count))
            return std::vector<Window> {};
        XPtr<Window> children(raw);
        return std::vector<Window>(children.get(), children.get() + count);
    };
    for (const Window w : topLevel) {
        XWindowAttributes attributes;
        // Menus, tooltips and other override-redirect windows are no application windows.
        if (!XGetWindowAttributes(m_display, w, &attributes) || attributes.override_redirect
            || attributes.c_class != InputOutput)
            continue;
        Window client = hasState(w) ? w : None;
        for (const Window child : client == None ? childrenHere(w) : std::vector<Window> {}) {
            if (hasState(child)) {
                client = child;
                break;
            }
        }
        if (client != None)
            ordered.push_back(client);
        else
            unmanaged.push_back(w);
    }
    // The manager's own windows (twm's menus and icons) carry no WM_STATE.
    return ordered.empty() ? unmanaged : ordered;
}

Window X11WindowSystem::clientOf(Window window)
{
    if (window == None || window == PointerRoot)
        return None;
    const std::vector<Window> all = clients();
    const Window root = m_connection->root();
    for (int depth = 0; depth < 64 && window != None && window != root; ++depth) {
        if (std::find(all.begin(), all.end(), window) != all.end())
            return window;
        Window parent = None;
        childrenOf(m_display, window, &parent);
        // A frame holds its client below it rather than above.
        if (parent == root) {
            for (const Window child : childrenOf(m_display, window))
                if (std::find(all.begin(), all.end(), child) != all.end())
                    return child;
        }
        window = parent;
    }
    return None;
}

std::vector<Window> X11WindowSystem::stackBottomUp()
{
    takeEvents(true);
    const WindowManagerFeatures& wm = windowManager();
    std::vector<Window> windows;
    if (wm.ewmh && wm.stackingList) {
        for (const unsigned long id : readCardinalProperty(m_display,
                 m_connection->root(),
                 m_connection->atom("_NET_CLIENT_LIST_STACKING"),
                 XA_WINDOW))
            windows.push_back(id);
    } else {
        windows = clientsInServerOrder();
    }
    // The window a user activates comes to the top of the stack on other desktops; here
    // tiling managers (and i3's and fluxbox's stacking lists) keep their order whatever is
    // used. So the windows used since we started go on top, the latest highest, and what
    // has the keyboard now was used last, also when it got it before we watched it.
    Window now = wm.ewmh && wm.activeWindow ? activeWindow() : None;
    if (now == None && !windows.empty()) {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(m_display, &focus, &revert);
        now = clientOf(focus);
    }
    if (now != None && (m_used.empty() || m_used.back() != now))
        rememberUse(now);
    const auto gone = [&](Window w) { return std::find(windows.begin(), windows.end(), w) == windows.end(); };
    std::erase_if(m_used, gone);
    std::erase_if(m_watched, gone);
    for (const Window w : windows)
        watchFocus(w);
    for (const Window used : m_used) {
        std::erase(windows, used);
        windows.push_back(used);
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
    const WindowManagerFeatures& wm = windowManager();
    if (wm.ewmh && (wm.clientList || wm.stackingList)) {
        const std::vector<Window> listed = clients();
        return std::find(listed.begin(), listed.end(), window) != listed.end();
    }
    // Without a list, a window the server still has at the top of its tree, or one a
    // window manager marked as its client.
    Window parent = None;
    childrenOf(m_display, window, &parent);
    if (parent == None)
        return false;
    if (parent == m_connection->root())
        return true;
    return !readCardinalProperty(m_display,
        window,
        m_connection->atom("WM_STATE"),
        m_connection->atom("WM_STATE"))
                .empty();
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
    // The round trip brings every event the server sent before it, also those of a focus
    // change made just before a server grab held around this call.
    takeEvents(true);
    return focusConfirmedSinceEvents(static_cast<Window>(handle));
}

bool X11WindowSystem::focusConfirmedSinceEvents(Window window)
{
    if (window != None && window == m_focusConfirmed)
        return true;
    // Selected before the check, so that any later move of the focus out of the window
    // comes as an event and ends the confirmation.
    watchFocus(window);
    m_focusConfirmed = focusIsOn(window) ? window : None;
    return m_focusConfirmed != None;
}

bool X11WindowSystem::focusIsOn(Window window)
{
    // The input focus decides where key events go; the window manager's view is checked too
    // because it may be about to move the focus (it sets _NET_ACTIVE_WINDOW as it does).
    if (window == None || !focusIsInside(window))
        return false;
    const WindowManagerFeatures& wm = windowManager();
    // A property left behind by a window manager that has gone, or one that does not keep
    // it, says nothing.
    return !(wm.ewmh && wm.activeWindow) || activeWindow() == window;
}

void X11WindowSystem::ensureTimeWindow()
{
    if (m_timeWindow != None)
        return;
    // Unmapped, so no window manager manages it; not override-redirect, so a configure
    // request for it goes through the manager.
    XSetWindowAttributes attributes {};
    attributes.event_mask = PropertyChangeMask | StructureNotifyMask;
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

std::optional<Time> X11WindowSystem::serverTime(std::chrono::steady_clock::time_point deadline)
{
    // A zero-length append to a property of our own window yields a PropertyNotify that
    // carries the server's current time (ICCCM's way to get a timestamp).
    ensureTimeWindow();
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

namespace {

// The x position of our window that marks round trip n (it must change every time, or
// the server sends no ConfigureNotify).
int roundTripMark(int n) { return -100 - n % 1000; }

} // namespace

void X11WindowSystem::startRoundTrip()
{
    ensureTimeWindow();
    ++m_roundTrip;
    XMoveWindow(m_display, m_timeWindow, roundTripMark(m_roundTrip), -10);
    if (windowManager().frameExtents) {
        // EWMH: the answer is _NET_FRAME_EXTENTS set on our window. Not every manager that
        // lists the request answers it for a window it does not manage (fluxbox does not),
        // hence the configure request beside it.
        XDeleteProperty(m_display, m_timeWindow, m_connection->atom("_NET_FRAME_EXTENTS"));
        XEvent request {};
        request.xclient.type = ClientMessage;
        request.xclient.window = m_timeWindow;
        request.xclient.message_type = m_connection->atom("_NET_REQUEST_FRAME_EXTENTS");
        request.xclient.format = 32;
        XSendEvent(m_display,
            m_connection->root(),
            False,
            SubstructureRedirectMask | SubstructureNotifyMask,
            &request);
    }
    XFlush(m_display);
}

std::pair<Window, Window> X11WindowSystem::keyboardState()
{
    const WindowManagerFeatures& wm = windowManager();
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    return { wm.ewmh && wm.activeWindow ? activeWindow() : None, focus };
}

X11WindowSystem::Waited X11WindowSystem::awaitActivation(Window window,
    std::chrono::steady_clock::time_point deadline,
    std::pair<Window, Window> before,
    std::string& confirmation)
{
    const Atom activeAtom = m_connection->atom("_NET_ACTIVE_WINDOW");
    const Atom extents = m_connection->atom("_NET_FRAME_EXTENTS");
    startRoundTrip();
    int answered = 0;
    bool focusIn = false;
    bool activeChanged = false;
    // Handles what has arrived; true when anything had.
    const auto takeArrived = [&] {
        bool got = false;
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            handle(event);
            got = true;
            std::string answer;
            if (event.type == PropertyNotify && event.xproperty.window == m_connection->root()
                && event.xproperty.atom == activeAtom)
                activeChanged = true;
            else if (event.type == FocusIn && event.xfocus.window == window)
                focusIn = true;
            else if (event.type == ConfigureNotify && event.xconfigure.window == m_timeWindow
                && event.xconfigure.x == roundTripMark(m_roundTrip))
                answer = "ConfigureNotify";
            else if (event.type == PropertyNotify && event.xproperty.window == m_timeWindow
                && event.xproperty.atom == extents && event.xproperty.state == PropertyNewValue)
                answer = "_NET_FRAME_EXTENTS";
            // Both answers may come for one round trip; the first counts.
            if (!answer.empty() && m_roundTripsAnswered < m_roundTrip) {
                m_roundTripsAnswered = m_roundTrip;
                m_roundTripAnswer = answer;
                if (++answered < 2)
                    startRoundTrip();
            }
        }
        return got;
    };
    for (;;) {
        if (focusIsOn(window)) {
            // The events that showed it may have come in with the check's own reply.
            takeArrived();
            if (focusIn)
                confirmation = "FocusIn";
            else if (activeChanged)
                confirmation = "_NET_ACTIVE_WINDOW";
            else
                confirmation = answered > 0 ? m_roundTripAnswer : "XGetInputFocus";
            return Waited::Confirmed;
        }
        // A manager that focuses at the end of its pass over the events (awesome) has done
        // so before it answers the second round trip; one that took the focus back has
        // done that too.
        if (answered >= 2 && keyboardState() == before)
            return Waited::Refused;
        const bool got = takeArrived();
        if (got)
            continue;
        const auto left
            = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Waited::TimedOut;
        pollfd socket { ConnectionNumber(m_display), POLLIN, 0 };
        ::poll(&socket, 1, static_cast<int>(left.count()));
    }
}

ActivationResult X11WindowSystem::activate(WindowHandle handle)
{
    const Window window = static_cast<Window>(handle);
    takeEvents(true);
    const auto fail = [&](const std::string& request, const std::string& why) {
        return ActivationResult { false,
            request,
            {},
            "activate " + hexId(handle) + " '" + windowTitle(handle) + "': " + why };
    };
    if (!isListed(window))
        return fail({}, "not a top-level window of the desktop (closed?)");
    if (focusConfirmedSinceEvents(window))
        return { true, {}, {}, {} };

    const auto deadline = std::chrono::steady_clock::now() + m_activationTimeout;
    const std::string timeout = std::to_string(m_activationTimeout.count()) + " ms";
    const WindowManagerFeatures wm = windowManager();
    std::vector<std::string> ways;
    if (wm.ewmh && wm.activeWindow)
        ways.push_back("_NET_ACTIVE_WINDOW");
    if (wm.ewmh)
        ways.push_back("EnterNotify");
    ways.push_back("XSetInputFocus");
    std::string tried;
    for (const std::string& way : ways) {
        const std::pair<Window, Window> before = keyboardState();
        {
            ErrorTrap trap(m_display);
            if (way == "_NET_ACTIVE_WINDOW") {
                const std::optional<Time> now = serverTime(deadline);
                if (!now) {
                    const std::string error = trap.failed() ? " (" + trap.firstError() + ")" : "";
                    return fail(way, "no timestamp from the X server within " + timeout + error);
                }
                // EWMH; source 2 (a pager) because the request acts for the user, so
                // focus-stealing prevention does not apply.
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
            } else if (way == "EnterNotify") {
                // dwm takes a _NET_ACTIVE_WINDOW request for a window it has not selected
                // as a mere urgency hint, and takes the focus back from a window focused
                // behind its back; it focuses the window the pointer enters. A synthetic
                // crossing (the pointer does not move) reaches it and the window alike.
                XEvent event {};
                event.xcrossing.type = EnterNotify;
                event.xcrossing.window = window;
                event.xcrossing.root = m_connection->root();
                event.xcrossing.mode = NotifyNormal;
                event.xcrossing.detail = NotifyNonlinear;
                event.xcrossing.same_screen = True;
                event.xcrossing.x = 1;
                event.xcrossing.y = 1;
                XSendEvent(m_display, window, False, EnterWindowMask, &event);
            } else {
                // ICCCM, for a desktop without EWMH (twm) or none at all: the raise goes to
                // the manager as a configure request, the focus is set directly.
                XRaiseWindow(m_display, window);
                XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
            }
            if (trap.failed())
                return fail(way, trap.firstError());
        }
        std::string confirmation;
        const Waited waited = awaitActivation(window, deadline, before, confirmation);
        if (waited == Waited::Confirmed)
            return { true, way, confirmation, {} };
        tried += (tried.empty() ? "" : ", ") + way;
        if (waited == Waited::TimedOut)
            return fail(tried, "timed out after " + timeout);
    }
    return fail(tried, "ignored by the window manager (nothing changed within two round trips)");
}

} // namespace kx::platform::x11
