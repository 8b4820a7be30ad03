#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kx::platform::x11 {

// The connection to the X server that the X11 backend classes share. Either opened and
// owned here, or borrowed from the caller (for example the Qt program's own connection),
// in which case the caller keeps it open for as long as this object lives.
//
// Creating the first connection installs a process-wide X error handler that never ends
// the program: a window that vanishes between two requests is a normal event on a desktop.
class X11Connection
{
public:
    // Opens the display named by $DISPLAY. Throws std::runtime_error when that fails.
    X11Connection();
    // Opens the named display (for example ":1"). Throws std::runtime_error on failure.
    explicit X11Connection(const std::string& displayName);
    // Uses a connection the caller owns.
    explicit X11Connection(Display* borrowed);
    ~X11Connection();

    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return m_display; }
    Window root() const;
    // The atom of that name, interned once and then cached.
    Atom atom(const char* name);

private:
    Display* m_display = nullptr;
    bool m_owned = false;
    std::map<std::string, Atom> m_atoms;
};

// Collects the X errors of the requests made while it lives instead of letting them reach
// the default handler. Construct it before the requests; failed() syncs with the server and
// says whether any of them failed.
class ErrorTrap
{
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();

    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed();
    // "BadWindow (request 20)" for the first error, empty when there was none.
    std::string firstError() const { return m_first; }

private:
    friend int handleXError(Display*, XErrorEvent*);
    Display* m_display;
    ErrorTrap* m_outer;
    XErrorHandler m_previousHandler = nullptr;
    bool m_failed = false;
    std::string m_first;
};

// Frees Xlib-allocated memory with XFree.
struct XFreeDeleter
{
    void operator()(void* p) const
    {
        if (p)
            XFree(p);
    }
};
template <typename T> using XPtr = std::unique_ptr<T, XFreeDeleter>;

// A 32-bit-format property (Xlib returns it as an array of long), empty when missing or of
// another type. Errors (a vanished window) give an empty result.
std::vector<unsigned long> readCardinalProperty(Display* display, Window window, Atom property, Atom type);
// A property's raw bytes of format 8, empty when missing or of another type.
std::string readStringProperty(Display* display, Window window, Atom property, Atom type);

// The window's own title in UTF-8: _NET_WM_NAME, else WM_NAME (Latin-1 or compound text
// converted); empty when it has none or is gone.
std::string readWindowTitle(X11Connection& connection, Window window);

// Waits for the first event that `matches`, taking it off the queue into `found`; other
// events stay queued. Flushes the requests first. False when none came before `deadline`:
// the X server may be grabbed by another client, or the event may never come at all.
bool waitForEvent(Display* display,
    std::chrono::steady_clock::time_point deadline,
    const std::function<bool(const XEvent&)>& matches,
    XEvent& found);

} // namespace kx::platform::x11
