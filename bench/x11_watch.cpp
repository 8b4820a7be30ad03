// kx-bench-x11-watch: the moments the tray benchmark measures, seen by one X client through
// the DAMAGE extension: a window counts as shown once something has been drawn into it while
// it is viewable (the program's paint, or the server's background where it has one).
// Polling with xdotool and xwininfo started several processes per poll: that added tens of
// milliseconds to each figure and took the CPU from the program measured.
//   tray-icon INSTANCE SECONDS   prints "watching", then waits until a window of that WM_CLASS
//                                instance is drawn inside trayer's panel; prints its id and
//                                the wall clock in ms since the epoch (bash: $EPOCHREALTIME).
//                                Start it before the program: it watches windows created after.
//   press-until-shown TITLE SECONDS   presses mouse button 1 where the pointer is and waits
//                                until a top-level window of that title is drawn; prints the
//                                ms in between. The caller releases the button.
#include "backends/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>

using namespace kx::platform::x11;
using Clock = std::chrono::steady_clock;

namespace {

std::string classInstance(Display* display, Window window)
{
    XClassHint hint {};
    if (!XGetClassHint(display, window, &hint))
        return {};
    std::string instance = hint.res_name;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return instance;
}

bool viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

bool insideTrayer(Display* display, Window window)
{
    for (int depth = 0; depth < 8 && window != None; ++depth) {
        XClassHint hint {};
        if (XGetClassHint(display, window, &hint)) {
            const bool trayer = std::string(hint.res_class) == "trayer";
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (trayer)
                return true;
        }
        Window root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            return false;
        XFree(children);
        window = parent == root ? None : parent;
    }
    return false;
}

class DamageWatch
{
public:
    explicit DamageWatch(X11Connection& connection)
        : m_connection(connection)
        , m_display(connection.display())
    {
        int error = 0;
        if (!XDamageQueryExtension(m_display, &m_eventBase, &error))
            throw std::runtime_error("the X server has no DAMAGE extension");
        XSelectInput(m_display, connection.root(), SubstructureNotifyMask);
    }

    // Windows created from now on are watched, and top-level ones of `title` that exist.
    void watchExisting(const std::string& title)
    {
        Window root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        XQueryTree(m_display, m_connection.root(), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            if (readWindowTitle(m_connection, children[i]) == title)
                XDamageCreate(m_display, children[i], XDamageReportNonEmpty);
        }
        XFree(children);
        XSync(m_display, False);
    }

    // The first window drawn into that `shown` accepts, else None at the deadline.
    Window waitForDrawn(Clock::time_point deadline, const std::function<bool(Window)>& shown)
    {
        XEvent event;
        Window drawn = None;
        while (drawn == None
            && waitForEvent(
                m_display,
                deadline,
                [&](const XEvent& e) {
                    return e.type == CreateNotify || e.type == m_eventBase + XDamageNotify;
                },
                event)) {
            if (event.type == CreateNotify) {
                XDamageCreate(m_display, event.xcreatewindow.window, XDamageReportNonEmpty);
                continue;
            }
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
            XDamageSubtract(m_display, notify.damage, None, None);
            if (shown(notify.drawable))
                drawn = notify.drawable;
        }
        return drawn;
    }

private:
    X11Connection& m_connection;
    Display* m_display;
    int m_eventBase = 0;
};

int trayIcon(X11Connection& connection, const std::string& instance, int seconds)
{
    Display* display = connection.display();
    ErrorTrap trap(display); // windows may vanish while they are looked at
    DamageWatch watch(connection);
    XSync(display, False);
    std::cout << "watching" << std::endl;
    const Window icon = watch.waitForDrawn(Clock::now() + std::chrono::seconds(seconds), [&](Window w) {
        return classInstance(display, w) == instance && viewable(display, w) && insideTrayer(display, w);
    });
    if (icon == None) {
        std::cerr << "tray-icon: no " << instance << " window drawn in the tray within " << seconds << " s\n";
        return 1;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::cout << "0x" << std::hex << icon << std::dec << ' '
              << std::chrono::duration_cast<std::chrono::milliseconds>(now).count() << std::endl;
    return 0;
}

int pressUntilShown(X11Connection& connection, const std::string& title, int seconds)
{
    Display* display = connection.display();
    ErrorTrap trap(display);
    DamageWatch watch(connection);
    watch.watchExisting(title);
    const auto pressed = Clock::now();
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    const Window menu = watch.waitForDrawn(pressed + std::chrono::seconds(seconds),
        [&](Window w) { return viewable(display, w) && readWindowTitle(connection, w) == title; });
    if (menu == None) {
        std::cerr << "press-until-shown: no window \"" << title << "\" drawn within " << seconds << " s\n";
        return 1;
    }
    std::cout << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - pressed).count()
              << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc == 4 ? argv[1] : "";
    if (command != "tray-icon" && command != "press-until-shown") {
        std::cerr
            << "usage: kx-bench-x11-watch tray-icon INSTANCE SECONDS | press-until-shown TITLE SECONDS\n";
        return 2;
    }
    try {
        X11Connection connection;
        return command == "tray-icon" ? trayIcon(connection, argv[2], std::stoi(argv[3]))
                                      : pressUntilShown(connection, argv[2], std::stoi(argv[3]));
    } catch (const std::exception& e) {
        std::cerr << "kx-bench-x11-watch: " << e.what() << '\n';
        return 1;
    }
}
