#include "backends/x11/X11WindowStates.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <vector>

namespace kx::platform::x11 {

X11WindowStates::X11WindowStates(std::shared_ptr<X11Connection> connection)
    : m_connection(std::move(connection))
{
}

void X11WindowStates::makeScreenEdgeStrip(WindowHandle handle)
{
    if (!handle)
        return;
    Display* display = m_connection->display();
    const Window window = static_cast<Window>(handle);
    ErrorTrap trap(display);
    const Atom dock = m_connection->atom("_NET_WM_WINDOW_TYPE_DOCK");
    XChangeProperty(display,
        window,
        m_connection->atom("_NET_WM_WINDOW_TYPE"),
        XA_ATOM,
        32,
        PropModeReplace,
        reinterpret_cast<const unsigned char*>(&dock),
        1);
    const Atom state = m_connection->atom("_NET_WM_STATE");
    std::vector<Atom> atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display,
            window,
            state,
            0,
            1024,
            False,
            XA_ATOM,
            &type,
            &format,
            &count,
            &remaining,
            &data)
            == Success
        && data && format == 32) {
        // Format 32 properties come as an array of long, whatever the size of an atom.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        atoms.assign(values, values + count);
    }
    if (data)
        XFree(data);
    for (const char* name : { "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER" }) {
        const Atom wanted = m_connection->atom(name);
        if (std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    XChangeProperty(display,
        window,
        state,
        XA_ATOM,
        32,
        PropModeReplace,
        reinterpret_cast<const unsigned char*>(atoms.data()),
        static_cast<int>(atoms.size()));
    XSync(display, False);
}

} // namespace kx::platform::x11
