#include "backends/wayland/WaylandConnection.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <stdexcept>

namespace kx::platform::wayland {

WaylandConnection::WaylandConnection(const std::string& displayName)
{
    // libwayland would say so on stderr itself, beside the program's own message.
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if ((displayName.empty() || displayName.front() != '/') && (!runtimeDir || *runtimeDir == '\0'))
        throw std::runtime_error("XDG_RUNTIME_DIR is not set: no Wayland display '" + displayName + "'");
    m_display = wl_display_connect(displayName.c_str());
    if (!m_display)
        throw std::runtime_error("cannot connect to the Wayland display '" + displayName + "'");
    static const wl_registry_listener listener = {
        [](void* self, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
            static_cast<WaylandConnection*>(self)->addGlobal(name, interface, version);
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
    if (wl_display_roundtrip(m_display) < 0) {
        wl_display_disconnect(m_display);
        throw std::runtime_error("the Wayland display '" + displayName + "' broke the connection");
    }
}

WaylandConnection::~WaylandConnection()
{
    if (m_seat)
        wl_seat_destroy(m_seat);
    wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandConnection::addGlobal(std::uint32_t name, const char* interface, std::uint32_t version)
{
    const std::string_view which(interface);
    if (which == "wl_seat" && !m_seat) {
        // The first seat is the one the user types on; version 1 is all activation needs.
        m_seat = static_cast<wl_seat*>(wl_registry_bind(m_registry, name, &wl_seat_interface, 1));
        m_seatGlobal = { name, version };
    } else if (which == "zwlr_foreign_toplevel_manager_v1")
        m_toplevelManager = { name, version };
    else if (which == "zwp_virtual_keyboard_manager_v1")
        m_virtualKeyboardManager = { name, version };
    else if (which == "zwlr_data_control_manager_v1")
        m_dataControlManager = { name, version };
    else if (which == "wl_compositor")
        m_compositor = { name, version };
    else if (which == "wl_shm")
        m_shm = { name, version };
    else if (which == "zwlr_layer_shell_v1")
        m_layerShell = { name, version };
}

int WaylandConnection::descriptor() const { return wl_display_get_fd(m_display); }

void WaylandConnection::dispatchPending()
{
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    pollfd readable { descriptor(), POLLIN, 0 };
    if (::poll(&readable, 1, 0) > 0 && (readable.revents & POLLIN))
        wl_display_read_events(m_display);
    else
        wl_display_cancel_read(m_display);
    wl_display_dispatch_pending(m_display);
}

bool WaylandConnection::roundTrip() { return wl_display_roundtrip(m_display) >= 0; }

bool WaylandConnection::waitForEvents(std::chrono::steady_clock::time_point deadline)
{
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) > 0)
            return true;
    }
    wl_display_flush(m_display);
    const auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd readable { descriptor(), POLLIN, 0 };
    const int ready = ::poll(&readable, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    if (ready <= 0 || !(readable.revents & POLLIN)) {
        wl_display_cancel_read(m_display);
        return false;
    }
    if (wl_display_read_events(m_display) < 0)
        return false;
    return wl_display_dispatch_pending(m_display) >= 0;
}

std::string WaylandConnection::error() const
{
    const int code = wl_display_get_error(m_display);
    return code == 0 ? std::string() : std::string("Wayland connection: ") + std::strerror(code);
}

} // namespace kx::platform::wayland
