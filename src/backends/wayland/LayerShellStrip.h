#pragma once

#include "platform/EdgeStrip.h"

#include <cstdint>
#include <memory>

struct wl_buffer;
struct wl_compositor;
struct wl_pointer;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;

namespace kx::platform::wayland {

class WaylandConnection;

// The border strip as a wlr layer surface: anchored along one edge of the output the
// compositor picks, above the windows, without keyboard and without a reserved zone. Its
// own binding of the seat gives the pointer, which the compositor hands out only while the
// seat has a pointer device.
class LayerShellStrip : public EdgeStrip
{
public:
    // The connection must offer the layer shell, wl_compositor and wl_shm.
    explicit LayerShellStrip(std::shared_ptr<WaylandConnection> connection);
    ~LayerShellStrip() override;

    void place(std::optional<Edge> edge, std::uint32_t rgb) override;
    void setTouchHandler(std::function<void(bool clicked)> handler) override;

private:
    void removeSurface();
    void configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height);
    void seatCapabilities(std::uint32_t capabilities);
    void draw(std::uint32_t width, std::uint32_t height);

    std::shared_ptr<WaylandConnection> m_connection;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layerSurface = nullptr;
    wl_buffer* m_buffer = nullptr;
    std::uint32_t m_rgb = 0;
    bool m_pointerInside = false;
    std::function<void(bool clicked)> m_touched;
};

} // namespace kx::platform::wayland
