#include "backends/x11/X11WindowInventory.h"

#include <X11/Xatom.h>

namespace kx::platform::x11 {

X11WindowInventory::X11WindowInventory(std::shared_ptr<X11Connection> connection)
    : m_connection(std::move(connection))
{
}

std::vector<WindowHandle> X11WindowInventory::stackBottomUp()
{
    Display* display = m_connection->display();
    const Atom check = m_connection->atom("_NET_SUPPORTING_WM_CHECK");
    // EWMH: the window named on the root names itself while the manager runs.
    const auto onRoot = readCardinalProperty(display, m_connection->root(), check, XA_WINDOW);
    const auto onChild = onRoot.empty() ? onRoot : readCardinalProperty(display, onRoot[0], check, XA_WINDOW);
    if (!onChild.empty() && onChild[0] == onRoot[0]) {
        const auto stack = readCardinalProperty(display,
            m_connection->root(),
            m_connection->atom("_NET_CLIENT_LIST_STACKING"),
            XA_WINDOW);
        return { stack.begin(), stack.end() };
    }
    std::vector<WindowHandle> windows;
    ErrorTrap trap(display);
    Window rootReturn = None;
    Window parent = None;
    Window* raw = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, m_connection->root(), &rootReturn, &parent, &raw, &count))
        return windows;
    XPtr<Window> children(raw);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children.get()[i], &attributes)
            && attributes.c_class == InputOutput)
            windows.push_back(children.get()[i]);
    }
    return windows;
}

std::string X11WindowInventory::windowTitle(WindowHandle window)
{
    return readWindowTitle(*m_connection, static_cast<Window>(window));
}

bool X11WindowInventory::isWindowVisible(WindowHandle window)
{
    Display* display = m_connection->display();
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, static_cast<Window>(window), &attributes) || trap.failed())
        return false;
    return attributes.map_state == IsViewable;
}

} // namespace kx::platform::x11
