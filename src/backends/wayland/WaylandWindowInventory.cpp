#include "backends/wayland/WaylandWindowInventory.h"

namespace kx::platform::wayland {

std::vector<WindowHandle> WaylandWindowInventory::stackBottomUp()
{
    m_watcher->connection().dispatchPending();
    return m_watcher->activationOrder();
}

std::string WaylandWindowInventory::windowTitle(WindowHandle window) { return m_watcher->title(window); }

bool WaylandWindowInventory::isWindowVisible(WindowHandle window) { return m_watcher->isVisible(window); }

} // namespace kx::platform::wayland
