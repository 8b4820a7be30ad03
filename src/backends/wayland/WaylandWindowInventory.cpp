#include "backends/wayland/WaylandWindowInventory.h"

namespace kx::platform::wayland {

std::vector<WindowHandle> WaylandWindowInventory::stackBottomUp()
{
    m_watcher->connection().dispatchPending();
    return m_watcher->activationOrder();
}

std::string WaylandWindowInventory::windowTitle(WindowHandle window)
{
    const ToplevelWatcher::Toplevel* toplevel = m_watcher->find(window);
    return toplevel ? toplevel->title : std::string();
}

bool WaylandWindowInventory::isWindowVisible(WindowHandle window)
{
    const ToplevelWatcher::Toplevel* toplevel = m_watcher->find(window);
    return toplevel && !toplevel->minimized;
}

} // namespace kx::platform::wayland
