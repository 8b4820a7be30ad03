#include "backends/wayland/WaylandWindowSystem.h"

#include <algorithm>

namespace kx::platform::wayland {

WaylandWindowSystem::WaylandWindowSystem(std::shared_ptr<ToplevelWatcher> watcher,
    std::vector<std::string> ownAppIds)
    : m_watcher(std::move(watcher))
    , m_ownAppIds(std::move(ownAppIds))
{
}

std::vector<WindowHandle> WaylandWindowSystem::stackBottomUp()
{
    std::vector<WindowHandle> stack = m_watcher->activationOrder();
    std::erase_if(stack, [this](WindowHandle window) {
        const ToplevelWatcher::Toplevel* toplevel = m_watcher->find(window);
        return std::find(m_ownAppIds.begin(), m_ownAppIds.end(), toplevel->appId) != m_ownAppIds.end();
    });
    return stack;
}

std::vector<WindowHandle> WaylandWindowSystem::topLevelWindows()
{
    m_watcher->connection().dispatchPending();
    std::vector<WindowHandle> stack = stackBottomUp();
    std::reverse(stack.begin(), stack.end());
    return stack;
}

WindowHandle WaylandWindowSystem::windowAbove(WindowHandle window)
{
    const std::vector<WindowHandle> stack = stackBottomUp();
    const auto it = std::find(stack.begin(), stack.end(), window);
    if (it == stack.end())
        return stack.empty() ? 0 : stack.front();
    return it + 1 == stack.end() ? 0 : *(it + 1);
}

std::string WaylandWindowSystem::windowTitle(WindowHandle window) { return m_watcher->title(window); }

bool WaylandWindowSystem::isWindowVisible(WindowHandle window) { return m_watcher->isVisible(window); }

ActivationResult WaylandWindowSystem::activate(WindowHandle window)
{
    WaylandConnection& connection = m_watcher->connection();
    connection.dispatchPending();
    const ToplevelWatcher::Toplevel* toplevel = m_watcher->find(window);
    const std::string what = "activate " + std::to_string(window) + " '" + windowTitle(window) + "'";
    if (!toplevel)
        return { false, {}, {}, what + ": the window is gone" };
    if (toplevel->activated)
        return { true, {}, "activated", {} };
    const std::string request = "zwlr_foreign_toplevel_handle_v1.activate";
    if (!m_watcher->requestActivation(window))
        return { false, request, {}, what + ": the compositor has no seat" };
    const bool confirmed
        = connection.waitUntil(std::chrono::steady_clock::now() + m_activationTimeout, [this, window] {
              const ToplevelWatcher::Toplevel* now = m_watcher->find(window);
              return now && now->activated;
          });
    if (confirmed)
        return { true, request, "activated", {} };
    const std::string broken = connection.error();
    return { false,
        request,
        {},
        what + ": "
            + (broken.empty() ? "timed out after " + std::to_string(m_activationTimeout.count()) + " ms"
                              : broken) };
}

bool WaylandWindowSystem::hasKeyboardFocus(WindowHandle window)
{
    m_watcher->connection().roundTrip();
    const ToplevelWatcher::Toplevel* toplevel = m_watcher->find(window);
    return toplevel && toplevel->activated;
}

int WaylandWindowSystem::eventDescriptor() const { return m_watcher->connection().descriptor(); }

void WaylandWindowSystem::dispatchEvents() { m_watcher->connection().dispatchPending(); }

} // namespace kx::platform::wayland
