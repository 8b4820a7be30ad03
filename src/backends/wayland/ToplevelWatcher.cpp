#include "backends/wayland/ToplevelWatcher.h"

#include <wayland-client.h>
#include <wayland-protocols/wlr-foreign-toplevel-management-unstable-v1-client-protocol.h>

#include <algorithm>
#include <stdexcept>

namespace kx::platform::wayland {

ToplevelWatcher::ToplevelWatcher(std::shared_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
    const WaylandConnection::Global global = m_connection->toplevelManager();
    if (global.name == 0)
        throw std::runtime_error("the compositor offers no zwlr_foreign_toplevel_manager_v1");
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(m_connection->registry(),
        global.name,
        &zwlr_foreign_toplevel_manager_v1_interface,
        std::min<std::uint32_t>(global.version, 3)));
    static const zwlr_foreign_toplevel_manager_v1_listener listener = {
        [](void* self, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* object) {
            static_cast<ToplevelWatcher*>(self)->add(object);
        },
        [](void* self, zwlr_foreign_toplevel_manager_v1* manager) {
            zwlr_foreign_toplevel_manager_v1_destroy(manager);
            static_cast<ToplevelWatcher*>(self)->m_manager = nullptr;
        },
    };
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &listener, this);
    // The list of windows comes right after the bind; their details a round trip later.
    m_connection->roundTrip();
    m_connection->roundTrip();
}

ToplevelWatcher::~ToplevelWatcher()
{
    for (const auto& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->object);
    if (m_manager) {
        // Its "finished" then finds no listener: the proxy is gone on our side.
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    wl_display_flush(m_connection->display());
}

void ToplevelWatcher::add(zwlr_foreign_toplevel_handle_v1* added)
{
    static const zwlr_foreign_toplevel_handle_v1_listener listener = {
        [](void* self, zwlr_foreign_toplevel_handle_v1* object, const char* title) {
            if (Toplevel* toplevel = static_cast<ToplevelWatcher*>(self)->findObject(object))
                toplevel->pendingTitle = title;
        },
        [](void* self, zwlr_foreign_toplevel_handle_v1* object, const char* appId) {
            if (Toplevel* toplevel = static_cast<ToplevelWatcher*>(self)->findObject(object))
                toplevel->pendingAppId = appId;
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
        [](void* self, zwlr_foreign_toplevel_handle_v1* object, wl_array* states) {
            Toplevel* toplevel = static_cast<ToplevelWatcher*>(self)->findObject(object);
            if (!toplevel)
                return;
            toplevel->pendingActivated = false;
            toplevel->pendingMinimized = false;
            const auto* state = static_cast<const std::uint32_t*>(states->data);
            for (std::size_t i = 0; i < states->size / sizeof *state; ++i) {
                toplevel->pendingActivated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
                toplevel->pendingMinimized |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
            }
        },
        [](void* self, zwlr_foreign_toplevel_handle_v1* object) {
            auto* watcher = static_cast<ToplevelWatcher*>(self);
            if (Toplevel* toplevel = watcher->findObject(object))
                watcher->commit(*toplevel);
        },
        [](void* self, zwlr_foreign_toplevel_handle_v1* object) {
            static_cast<ToplevelWatcher*>(self)->remove(object);
        },
        [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},
    };
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = m_nextHandle++;
    toplevel->object = added;
    zwlr_foreign_toplevel_handle_v1_add_listener(added, &listener, this);
    // New windows start at the bottom, below every window used.
    m_toplevels.insert(m_toplevels.begin(), std::move(toplevel));
}

void ToplevelWatcher::commit(Toplevel& toplevel)
{
    const bool newlyActivated = toplevel.pendingActivated && !toplevel.activated;
    toplevel.title = toplevel.pendingTitle;
    toplevel.appId = toplevel.pendingAppId;
    toplevel.activated = toplevel.pendingActivated;
    toplevel.minimized = toplevel.pendingMinimized;
    toplevel.known = true;
    if (!newlyActivated)
        return;
    auto it = std::find_if(m_toplevels.begin(), m_toplevels.end(), [&](const auto& t) {
        return t.get() == &toplevel;
    });
    std::rotate(it, it + 1, m_toplevels.end());
}

void ToplevelWatcher::remove(zwlr_foreign_toplevel_handle_v1* object)
{
    zwlr_foreign_toplevel_handle_v1_destroy(object);
    std::erase_if(m_toplevels, [&](const auto& t) { return t->object == object; });
}

ToplevelWatcher::Toplevel* ToplevelWatcher::findObject(zwlr_foreign_toplevel_handle_v1* object)
{
    for (const auto& toplevel : m_toplevels)
        if (toplevel->object == object)
            return toplevel.get();
    return nullptr;
}

const ToplevelWatcher::Toplevel* ToplevelWatcher::find(WindowHandle window) const
{
    for (const auto& toplevel : m_toplevels)
        if (toplevel->handle == window && toplevel->known)
            return toplevel.get();
    return nullptr;
}

std::string ToplevelWatcher::title(WindowHandle window) const
{
    const Toplevel* toplevel = find(window);
    return toplevel ? toplevel->title : std::string();
}

bool ToplevelWatcher::isVisible(WindowHandle window) const
{
    const Toplevel* toplevel = find(window);
    return toplevel && !toplevel->minimized;
}

std::vector<WindowHandle> ToplevelWatcher::activationOrder() const
{
    std::vector<WindowHandle> order;
    for (const auto& toplevel : m_toplevels)
        if (toplevel->known)
            order.push_back(toplevel->handle);
    return order;
}

bool ToplevelWatcher::requestActivation(WindowHandle window)
{
    const Toplevel* toplevel = find(window);
    if (!toplevel || !m_connection->seat())
        return false;
    zwlr_foreign_toplevel_handle_v1_activate(toplevel->object, m_connection->seat());
    wl_display_flush(m_connection->display());
    return true;
}

} // namespace kx::platform::wayland
