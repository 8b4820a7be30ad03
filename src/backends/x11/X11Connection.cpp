#include "backends/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <stdexcept>

namespace kx::platform::x11 {

namespace {

// Per thread: a trap catches the errors of requests its own thread made.
thread_local ErrorTrap* activeTrap = nullptr;
bool handlerInstalled = false;

} // namespace

int handleXError(Display* display, XErrorEvent* event)
{
    char text[128] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::string message = std::string(text) + " (request " + std::to_string(event->request_code) + ")";
    if (activeTrap && activeTrap->m_display == display) {
        if (!activeTrap->m_failed)
            activeTrap->m_first = message;
        activeTrap->m_failed = true;
        return 0;
    }
    // Outside a trap: report, but never end the program as the default handler would.
    std::fprintf(stderr, "kalmotex: X error %s\n", message.c_str());
    return 0;
}

namespace {

void installHandler()
{
    if (!handlerInstalled) {
        XSetErrorHandler(handleXError);
        handlerInstalled = true;
    }
}

Display* openDisplay(const char* name)
{
    Display* display = XOpenDisplay(name);
    if (!display) {
        const char* shown = name ? name : std::getenv("DISPLAY");
        throw std::runtime_error(std::string("cannot open X display '") + (shown ? shown : "") + "'");
    }
    return display;
}

} // namespace

X11Connection::X11Connection()
    : m_display(openDisplay(nullptr))
    , m_owned(true)
{
    installHandler();
}

X11Connection::X11Connection(const std::string& displayName)
    : m_display(openDisplay(displayName.c_str()))
    , m_owned(true)
{
    installHandler();
}

X11Connection::X11Connection(Display* borrowed)
    : m_display(borrowed)
{
    if (!m_display)
        throw std::runtime_error("no X display given");
    installHandler();
}

X11Connection::~X11Connection()
{
    if (m_owned)
        XCloseDisplay(m_display);
}

Window X11Connection::root() const { return DefaultRootWindow(m_display); }

Atom X11Connection::atom(const char* name)
{
    auto it = m_atoms.find(name);
    if (it != m_atoms.end())
        return it->second;
    const Atom a = XInternAtom(m_display, name, False);
    m_atoms.emplace(name, a);
    return a;
}

ErrorTrap::ErrorTrap(Display* display)
    : m_display(display)
    , m_outer(activeTrap)
{
    installHandler();
    // Errors of earlier requests belong to whoever made them.
    XSync(m_display, False);
    // The GUI toolkit may have installed its own handler since (Qt's xcb plugin does when it
    // starts after this connection was opened): ours must see this trap's errors.
    m_previousHandler = XSetErrorHandler(handleXError);
    activeTrap = this;
}

ErrorTrap::~ErrorTrap()
{
    XSync(m_display, False);
    activeTrap = m_outer;
    XSetErrorHandler(m_previousHandler);
    if (m_outer && m_failed && !m_outer->m_failed) {
        m_outer->m_failed = true;
        m_outer->m_first = m_first;
    }
}

bool ErrorTrap::failed()
{
    XSync(m_display, False);
    return m_failed;
}

namespace {

struct RawProperty
{
    XPtr<unsigned char> data;
    unsigned long count = 0;
};

// The whole property if it exists with the expected type and format; empty otherwise
// (also when the window is gone).
RawProperty readProperty(
    Display* display, Window window, Atom property, Atom type, int format, long maxLength)
{
    ErrorTrap trap(display);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* raw = nullptr;
    const int status = XGetWindowProperty(display,
        window,
        property,
        0,
        maxLength,
        False,
        type,
        &actualType,
        &actualFormat,
        &count,
        &remaining,
        &raw);
    XPtr<unsigned char> data(raw);
    if (status != Success || trap.failed() || actualType != type || actualFormat != format || !data)
        return {};
    return { std::move(data), count };
}

} // namespace

std::vector<unsigned long> readCardinalProperty(Display* display, Window window, Atom property, Atom type)
{
    const RawProperty property32 = readProperty(display, window, property, type, 32, 1L << 20);
    // Xlib hands out format-32 items as longs, whatever their size on the wire.
    const auto* values = reinterpret_cast<const unsigned long*>(property32.data.get());
    return values ? std::vector<unsigned long>(values, values + property32.count)
                  : std::vector<unsigned long> {};
}

std::string readStringProperty(Display* display, Window window, Atom property, Atom type)
{
    const RawProperty property8 = readProperty(display, window, property, type, 8, 1L << 16);
    const auto* text = reinterpret_cast<const char*>(property8.data.get());
    return text ? std::string(text, property8.count) : std::string();
}

namespace {

std::string latin1ToUtf8(const std::string& text)
{
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

std::string readWindowTitle(X11Connection& connection, Window window)
{
    Display* display = connection.display();
    std::string title = readStringProperty(display,
        window,
        connection.atom("_NET_WM_NAME"),
        connection.atom("UTF8_STRING"));
    if (!title.empty())
        return title;

    ErrorTrap trap(display);
    XTextProperty property {};
    if (!XGetWMName(display, window, &property) || trap.failed() || !property.value)
        return {};
    XPtr<unsigned char> value(property.value);
    if (property.encoding == XA_STRING)
        return latin1ToUtf8(std::string(reinterpret_cast<const char*>(property.value), property.nitems));
    // COMPOUND_TEXT (ICCCM) and anything else Xlib knows how to convert.
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && list) {
        for (int i = 0; i < count; ++i)
            title += list[i];
        XFreeStringList(list);
    }
    return title;
}

bool waitForEvent(Display* display,
    std::chrono::steady_clock::time_point deadline,
    const std::function<bool(const XEvent&)>& matches,
    XEvent& found)
{
    const auto test = [](Display*, XEvent* event, XPointer arg) -> Bool {
        return (*reinterpret_cast<const std::function<bool(const XEvent&)>*>(arg))(*event) ? True : False;
    };
    const auto arg = reinterpret_cast<XPointer>(const_cast<std::function<bool(const XEvent&)>*>(&matches));
    XFlush(display);
    for (;;) {
        // XCheckIfEvent reads whatever the socket holds without blocking, so an empty result
        // means Xlib has nothing buffered and poll() sees every new byte.
        if (XCheckIfEvent(display, &found, test, arg))
            return true;
        const auto left
            = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd socket { ConnectionNumber(display), POLLIN, 0 };
        if (::poll(&socket, 1, static_cast<int>(left.count())) < 0 && errno != EINTR)
            return false;
    }
}

} // namespace kx::platform::x11
