#pragma once

#include "backends/wayland/ToplevelWatcher.h"
#include "platform/WindowSystem.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace kx::platform::wayland {

// Top-level windows of a wlroots compositor and their activation
// (wlr-foreign-toplevel-management):
//  - the stack is the order of activations the watcher keeps, the window used last on top;
//    windows of `ownAppIds` (the program's own, which Qt names after its desktop file) are
//    left out, as desktop-shell windows are on X11;
//  - activation asks the compositor to activate the window on the seat and waits, bounded,
//    for the "activated" state that confirms it;
//  - a window is visible unless it is minimised (the protocol says no more).
class WaylandWindowSystem : public WindowSystem
{
public:
    WaylandWindowSystem(std::shared_ptr<ToplevelWatcher> watcher, std::vector<std::string> ownAppIds);

    std::vector<WindowHandle> topLevelWindows() override;
    WindowHandle windowAbove(WindowHandle window) override;
    std::string windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;
    // Errors read "activate 7 'Editor': timed out after 1000 ms".
    ActivationResult activate(WindowHandle window) override;
    // The window's "activated" state after a round trip through the compositor.
    bool hasKeyboardFocus(WindowHandle window) override;
    int eventDescriptor() const override;
    void dispatchEvents() override;

    void setActivationTimeout(std::chrono::milliseconds timeout) { m_activationTimeout = timeout; }

private:
    // The application windows, bottom first.
    std::vector<WindowHandle> stackBottomUp();

    std::shared_ptr<ToplevelWatcher> m_watcher;
    std::vector<std::string> m_ownAppIds;
    std::chrono::milliseconds m_activationTimeout { 1000 };
};

} // namespace kx::platform::wayland
