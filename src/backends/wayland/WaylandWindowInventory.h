#pragma once

#include "backends/wayland/ToplevelWatcher.h"
#include "platform/WindowInventory.h"

#include <memory>

namespace kx::platform::wayland {

// Every top-level window the compositor lists, the program's own included, in the order of
// activations the watcher keeps (the protocol has no stacking order).
class WaylandWindowInventory : public WindowInventory
{
public:
    explicit WaylandWindowInventory(std::shared_ptr<ToplevelWatcher> watcher)
        : m_watcher(std::move(watcher))
    {
    }

    std::vector<WindowHandle> stackBottomUp() override;
    std::string windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;

private:
    std::shared_ptr<ToplevelWatcher> m_watcher;
};

} // namespace kx::platform::wayland
