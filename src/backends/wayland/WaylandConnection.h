#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

struct wl_display;
struct wl_registry;
struct wl_seat;

namespace kx::platform::wayland {

// One client connection to the compositor, with the globals the backend binds: the seat and
// the names and versions of the wlr globals it offers. Every user of it runs on one thread
// (the GUI thread): events are dispatched there, from dispatchPending() and the waits.
class WaylandConnection
{
public:
    // Connects to `displayName` ($WAYLAND_DISPLAY; a name in $XDG_RUNTIME_DIR or an absolute
    // path) and reads the globals; throws std::runtime_error when that fails.
    explicit WaylandConnection(const std::string& displayName);
    ~WaylandConnection();

    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    struct Global
    {
        std::uint32_t name = 0; // 0: not offered
        std::uint32_t version = 0;
    };

    wl_display* display() const { return m_display; }
    wl_registry* registry() const { return m_registry; }
    wl_seat* seat() const { return m_seat; }
    const Global& toplevelManager() const { return m_toplevelManager; }
    const Global& virtualKeyboardManager() const { return m_virtualKeyboardManager; }
    const Global& dataControlManager() const { return m_dataControlManager; }
    // For the border strip, which binds them itself.
    const Global& seatGlobal() const { return m_seatGlobal; }
    const Global& compositor() const { return m_compositor; }
    const Global& shm() const { return m_shm; }
    const Global& layerShell() const { return m_layerShell; }

    // The socket that becomes readable when the compositor has sent something.
    int descriptor() const;
    // Reads what has arrived and dispatches it, without blocking.
    void dispatchPending();
    // Sends what is queued and waits until the compositor has handled it, dispatching every
    // event that came before its answer; false when the connection broke.
    bool roundTrip();
    // Dispatches events until `done` returns true or `deadline` passes; the result of `done`.
    template <typename Done> bool waitUntil(std::chrono::steady_clock::time_point deadline, Done done)
    {
        while (!done()) {
            if (!waitForEvents(deadline))
                return done();
        }
        return true;
    }
    // Why the connection broke, for debug output; empty while it works.
    std::string error() const;

private:
    // Waits for events until `deadline`, dispatches them; false when none came or it broke.
    bool waitForEvents(std::chrono::steady_clock::time_point deadline);
    void addGlobal(std::uint32_t name, const char* interface, std::uint32_t version);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    Global m_toplevelManager;
    Global m_virtualKeyboardManager;
    Global m_dataControlManager;
    Global m_seatGlobal;
    Global m_compositor;
    Global m_shm;
    Global m_layerShell;
};

} // namespace kx::platform::wayland
