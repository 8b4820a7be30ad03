#include "backends/wayland/LayerShellStrip.h"

#include "backends/wayland/WaylandConnection.h"

#include <wayland-client.h>
// The generated C header names a parameter "namespace".
#define namespace layer_namespace
#include <wayland-protocols/wlr-layer-shell-unstable-v1-client-protocol.h>
#undef namespace

#include <algorithm>
#include <sys/mman.h>
#include <unistd.h>

namespace kx::platform::wayland {

namespace {

constexpr std::uint32_t leftButton = 0x110; // BTN_LEFT of linux/input-event-codes.h

template <typename Proxy>
Proxy* bind(const WaylandConnection& connection,
    const WaylandConnection::Global& global,
    const wl_interface* interface,
    std::uint32_t version)
{
    if (global.name == 0)
        return nullptr;
    return static_cast<Proxy*>(
        wl_registry_bind(connection.registry(), global.name, interface, std::min(global.version, version)));
}

} // namespace

LayerShellStrip::LayerShellStrip(std::shared_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
    const WaylandConnection& c = *m_connection;
    m_compositor = bind<wl_compositor>(c, c.compositor(), &wl_compositor_interface, 4);
    m_shm = bind<wl_shm>(c, c.shm(), &wl_shm_interface, 1);
    m_layerShell = bind<zwlr_layer_shell_v1>(c, c.layerShell(), &zwlr_layer_shell_v1_interface, 1);
    // Version 3 keeps the pointer's events to enter, leave, motion, button and axis.
    m_seat = bind<wl_seat>(c, c.seatGlobal(), &wl_seat_interface, 3);
    if (m_seat) {
        static const wl_seat_listener listener = {
            [](void* self, wl_seat*, std::uint32_t capabilities) {
                static_cast<LayerShellStrip*>(self)->seatCapabilities(capabilities);
            },
            [](void*, wl_seat*, const char*) {},
        };
        wl_seat_add_listener(m_seat, &listener, this);
    }
}

LayerShellStrip::~LayerShellStrip()
{
    removeSurface();
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    if (m_seat)
        wl_seat_destroy(m_seat);
    zwlr_layer_shell_v1_destroy(m_layerShell);
    wl_shm_destroy(m_shm);
    wl_compositor_destroy(m_compositor);
    wl_display_flush(m_connection->display());
}

void LayerShellStrip::setTouchHandler(std::function<void(bool clicked)> handler)
{
    m_touched = std::move(handler);
}

void LayerShellStrip::seatCapabilities(std::uint32_t capabilities)
{
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasPointer && !m_pointer) {
        m_pointer = wl_seat_get_pointer(m_seat);
        static const wl_pointer_listener listener = {
            .enter =
                [](void* self, wl_pointer*, std::uint32_t, wl_surface* surface, wl_fixed_t, wl_fixed_t) {
                    auto* strip = static_cast<LayerShellStrip*>(self);
                    strip->m_pointerInside = surface && surface == strip->m_surface;
                    if (strip->m_pointerInside && strip->m_touched)
                        strip->m_touched(false);
                },
            .leave =
                [](void* self, wl_pointer*, std::uint32_t, wl_surface*) {
                    static_cast<LayerShellStrip*>(self)->m_pointerInside = false;
                },
            .motion = [](void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) {},
            .button =
                [](void* self,
                    wl_pointer*,
                    std::uint32_t,
                    std::uint32_t,
                    std::uint32_t button,
                    std::uint32_t state) {
                    auto* strip = static_cast<LayerShellStrip*>(self);
                    if (strip->m_pointerInside && button == leftButton
                        && state == WL_POINTER_BUTTON_STATE_RELEASED && strip->m_touched)
                        strip->m_touched(true);
                },
            .axis = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
            .frame = nullptr,
            .axis_source = nullptr,
            .axis_stop = nullptr,
            .axis_discrete = nullptr,
            .axis_value120 = nullptr,
        };
        wl_pointer_add_listener(m_pointer, &listener, this);
    } else if (!hasPointer && m_pointer) {
        wl_pointer_destroy(m_pointer);
        m_pointer = nullptr;
        m_pointerInside = false;
    }
}

void LayerShellStrip::place(std::optional<Edge> edge, std::uint32_t rgb)
{
    removeSurface();
    m_rgb = rgb;
    if (!edge)
        return;
    std::uint32_t anchor = 0;
    switch (*edge) {
    case Edge::Top:
        anchor = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP;
        break;
    case Edge::Bottom:
        anchor = ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM;
        break;
    case Edge::Left:
        anchor = ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT;
        break;
    case Edge::Right:
        anchor = ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;
        break;
    }
    const bool across = *edge == Edge::Top || *edge == Edge::Bottom;
    // Anchored to both ends of the edge with a size of 0 there, the compositor stretches it.
    anchor |= across ? ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT
                     : ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM;
    m_surface = wl_compositor_create_surface(m_compositor);
    // No output given: the compositor's choice, the one the user works on.
    m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(m_layerShell,
        m_surface,
        nullptr,
        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
        "kalmotex-strip");
    zwlr_layer_surface_v1_set_anchor(m_layerSurface, anchor);
    zwlr_layer_surface_v1_set_size(m_layerSurface, across ? 0 : 1, across ? 1 : 0);
    // -1, not 0: reserves no room and also stays at the very edge, over a bar's reserved zone
    // (with 0 sway puts it below the bar).
    zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layerSurface, 0);
    static const zwlr_layer_surface_v1_listener listener = {
        [](void* self,
            zwlr_layer_surface_v1*,
            std::uint32_t serial,
            std::uint32_t width,
            std::uint32_t height) { static_cast<LayerShellStrip*>(self)->configure(serial, width, height); },
        [](void* self, zwlr_layer_surface_v1*) { static_cast<LayerShellStrip*>(self)->removeSurface(); },
    };
    zwlr_layer_surface_v1_add_listener(m_layerSurface, &listener, this);
    wl_surface_commit(m_surface);
    wl_display_flush(m_connection->display());
}

void LayerShellStrip::configure(std::uint32_t serial, std::uint32_t width, std::uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(m_layerSurface, serial);
    draw(std::max<std::uint32_t>(width, 1), std::max<std::uint32_t>(height, 1));
}

void LayerShellStrip::draw(std::uint32_t width, std::uint32_t height)
{
    const std::size_t stride = std::size_t { width } * 4;
    const std::size_t size = stride * height;
    const int file = memfd_create("kalmotex-strip", MFD_CLOEXEC);
    if (file < 0)
        return;
    void* pixels = MAP_FAILED;
    if (ftruncate(file, static_cast<off_t>(size)) == 0)
        pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (pixels == MAP_FAILED) {
        close(file);
        return;
    }
    std::fill_n(static_cast<std::uint32_t*>(pixels), std::size_t { width } * height, 0xff000000u | m_rgb);
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, file, static_cast<std::int32_t>(size));
    close(file);
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    m_buffer = wl_shm_pool_create_buffer(pool,
        0,
        static_cast<std::int32_t>(width),
        static_cast<std::int32_t>(height),
        static_cast<std::int32_t>(stride),
        WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    wl_surface_attach(m_surface, m_buffer, 0, 0);
    wl_surface_damage(m_surface, 0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    wl_surface_commit(m_surface);
    wl_display_flush(m_connection->display());
}

void LayerShellStrip::removeSurface()
{
    m_pointerInside = false;
    if (m_layerSurface)
        zwlr_layer_surface_v1_destroy(m_layerSurface);
    if (m_surface)
        wl_surface_destroy(m_surface);
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    m_layerSurface = nullptr;
    m_surface = nullptr;
    m_buffer = nullptr;
}

} // namespace kx::platform::wayland
