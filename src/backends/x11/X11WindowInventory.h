#pragma once

#include "backends/x11/X11Connection.h"
#include "platform/WindowInventory.h"

#include <memory>

namespace kx::platform::x11 {

// The X11 desktop's windows for diagnostics: the window manager's stacking list
// (_NET_CLIENT_LIST_STACKING) with docks and panels included; without a window manager,
// every child of the root window that can be shown. Titles and visibility are read from
// the window itself, listed or not.
class X11WindowInventory : public WindowInventory
{
public:
    explicit X11WindowInventory(std::shared_ptr<X11Connection> connection);

    std::vector<WindowHandle> stackBottomUp() override;
    std::string windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;

private:
    std::shared_ptr<X11Connection> m_connection;
};

} // namespace kx::platform::x11
