#pragma once

#include "backends/x11/X11Connection.h"
#include "platform/WindowStates.h"

#include <memory>

namespace kx::platform::x11 {

// EWMH window types and states, set on the program's own windows over the backend's
// connection.
class X11WindowStates : public WindowStates
{
public:
    explicit X11WindowStates(std::shared_ptr<X11Connection> connection);

    // _NET_WM_WINDOW_TYPE_DOCK, which window managers keep above other windows, never focus
    // and leave where it asks to be, also over the reserved room of a panel; and the states
    // _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER (states already set stay). The
    // window manager reads these when the window is mapped and forgets the states when it is
    // withdrawn, so they are set before every showing. The requests are synced, so a map
    // request the toolkit sends afterwards over its own connection comes after them.
    void makeScreenEdgeStrip(WindowHandle window) override;

private:
    std::shared_ptr<X11Connection> m_connection;
};

} // namespace kx::platform::x11
