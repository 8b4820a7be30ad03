#pragma once

#include "backends/wayland/WaylandConnection.h"
#include "platform/WindowSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace kx::platform::wayland {

// The compositor's top-level windows as wlr-foreign-toplevel-management reports them, and the
// order in which they were activated. The protocol has no stacking order; the window used
// last is the one activated last, so this object keeps the order of activations from its
// start to the program's end (the window active at the start counts as the latest).
// Windows get handles of their own that are never reused.
class ToplevelWatcher
{
public:
    struct Toplevel
    {
        WindowHandle handle = 0;
        zwlr_foreign_toplevel_handle_v1* object = nullptr;
        std::string title;
        std::string appId;
        bool activated = false;
        bool minimized = false;
        bool known = false; // its first "done" has come: title and state are complete
        // Pending until the next "done".
        std::string pendingTitle;
        std::string pendingAppId;
        bool pendingActivated = false;
        bool pendingMinimized = false;
    };

    // Binds the manager the connection found; throws std::runtime_error when it has none.
    explicit ToplevelWatcher(std::shared_ptr<WaylandConnection> connection);
    ~ToplevelWatcher();

    ToplevelWatcher(const ToplevelWatcher&) = delete;
    ToplevelWatcher& operator=(const ToplevelWatcher&) = delete;

    WaylandConnection& connection() { return *m_connection; }

    // Windows, bottom first: the ones never activated in the order they appeared, then the
    // activated ones, the latest last.
    std::vector<WindowHandle> activationOrder() const;
    // Null when the window is gone (or never was).
    const Toplevel* find(WindowHandle window) const;
    // The window's title; empty for a window that is gone.
    std::string title(WindowHandle window) const;
    // Known and not minimised.
    bool isVisible(WindowHandle window) const;
    // Asks the compositor to activate the window on the seat; false when it is gone.
    bool requestActivation(WindowHandle window);

private:
    Toplevel* findObject(zwlr_foreign_toplevel_handle_v1* object);
    void add(zwlr_foreign_toplevel_handle_v1* object);
    void commit(Toplevel& toplevel);
    void remove(zwlr_foreign_toplevel_handle_v1* object);

    std::shared_ptr<WaylandConnection> m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels; // in order of use, the latest last
    // Above every id Qt gives its windows on Wayland (small numbers), which the core takes
    // for the main window's handle when it starts the walk.
    WindowHandle m_nextHandle = WindowHandle { 1 } << 32;
};

} // namespace kx::platform::wayland
