#include "app/DesktopSelection.h"

#include "app/InstanceChannel.h"

#ifdef _WIN32
#include "backends/win32/NamedPipeClient.h"
#include "backends/win32/RegistryAutostartStore.h"
#include "backends/win32/Win32Clipboard.h"
#include "backends/win32/Win32KeyboardOutput.h"
#include "backends/win32/Win32WindowInventory.h"
#include "backends/win32/Win32WindowSystem.h"
#else
#include "backends/posix/UnixSocketClient.h"
#include "backends/wayland/DataControlClipboard.h"
#include "backends/wayland/LayerShellStrip.h"
#include "backends/wayland/ToplevelWatcher.h"
#include "backends/wayland/VirtualKeyboardOutput.h"
#include "backends/wayland/WaylandConnection.h"
#include "backends/wayland/WaylandWindowInventory.h"
#include "backends/wayland/WaylandWindowSystem.h"
#include "backends/x11/X11GlobalHotkey.h"
#include "backends/x11/X11KeyboardOutput.h"
#include "backends/x11/X11WindowInventory.h"
#include "backends/x11/X11WindowStates.h"
#include "backends/x11/X11WindowSystem.h"
#include "backends/xdg/XdgAutostartStore.h"
#endif

#include <cstdlib>
#include <stdexcept>

namespace kx::app {

namespace {

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

#ifdef _WIN32

DesktopSelection openWindowsDesktop()
{
    Desktop desktop;
    desktop.windows = std::make_unique<platform::win32::Win32WindowSystem>();
    desktop.keyboard = std::make_unique<platform::win32::Win32KeyboardOutput>();
    desktop.clipboard = std::make_unique<platform::win32::Win32Clipboard>();
    desktop.autostart = std::make_unique<platform::win32::RegistryAutostartStore>();
    desktop.inventory = std::make_unique<platform::win32::Win32WindowInventory>();
    desktop.instanceAddress = platform::win32::currentInstancePipe();
    return { std::move(desktop), {} };
}

#else

DesktopSelection failure(const std::string& why)
{
    return { std::nullopt, "Kalmotex kann nicht starten: " + why };
}

DesktopSelection openX11Desktop(const std::string& display)
{
    std::shared_ptr<platform::x11::X11Connection> connection;
    try {
        connection = std::make_shared<platform::x11::X11Connection>(display);
    } catch (const std::runtime_error&) {
        return failure("Das X11-Display „" + display + "“ ist nicht erreichbar.");
    }
    Desktop desktop;
    try {
        desktop.windows = std::make_unique<platform::x11::X11WindowSystem>(connection);
        auto keyboard = std::make_unique<platform::x11::X11KeyboardOutput>(connection);
        // A send returns with its last key; the keymap is given back a second after it, so
        // that a target starved of CPU still reads its keys with the borrowed symbols (at
        // 100 ms, some arrived as nothing under a load average of 20). The next send reuses
        // what is still borrowed, so the wait costs nothing.
        keyboard->setDeferKeymapRestore(true);
        keyboard->setRestoreDelay(std::chrono::seconds(1));
        desktop.keyboard = std::move(keyboard);
    } catch (const std::runtime_error&) {
        return failure("Der X-Server des Displays „" + display
            + "“ kann keine Tastatureingaben erzeugen (XTEST oder XKEYBOARD fehlt).");
    }
    desktop.windowStates = std::make_unique<platform::x11::X11WindowStates>(connection);
    desktop.inventory = std::make_unique<platform::x11::X11WindowInventory>(connection);
    desktop.autostart = std::make_unique<platform::XdgAutostartStore>(platform::currentAutostartFolder());
    try {
        desktop.hotkey = std::make_unique<platform::x11::X11GlobalHotkey>(display);
    } catch (const std::runtime_error&) {
        // A server that refuses a second connection still takes typed text.
    }
    desktop.guiPlatform = "xcb";
    desktop.instanceAddress
        = instanceSocketPath(currentInstanceEnvironment(platform::posix::currentUserId()));
    return { std::move(desktop), {} };
}

// Empty when the compositor lacks what the backend needs (GNOME, KDE): the caller falls back
// to X11.
std::optional<Desktop> openWaylandDesktop(const std::string& waylandDisplay)
{
    namespace wl = platform::wayland;
    std::shared_ptr<wl::WaylandConnection> connection;
    try {
        connection = std::make_shared<wl::WaylandConnection>(waylandDisplay);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    if (connection->toplevelManager().name == 0 || connection->virtualKeyboardManager().name == 0)
        return std::nullopt;
    Desktop desktop;
    try {
        auto watcher = std::make_shared<wl::ToplevelWatcher>(connection);
        // Qt names the program's windows after its desktop file (main.cpp sets it).
        desktop.windows = std::make_unique<wl::WaylandWindowSystem>(watcher,
            std::vector<std::string> { "de.kalmotex.Kalmotex" });
        desktop.inventory = std::make_unique<wl::WaylandWindowInventory>(watcher);
        desktop.keyboard = std::make_unique<wl::VirtualKeyboardOutput>(connection);
        // Without it Qt's clipboard stays, which takes text only while one of the program's
        // windows has the keyboard focus.
        if (connection->dataControlManager().name != 0)
            desktop.clipboard = std::make_unique<wl::DataControlClipboard>(connection);
        // Without a layer shell Qt would make the strip an ordinary tiled window: none then.
        if (connection->layerShell().name != 0 && connection->compositor().name != 0
            && connection->shm().name != 0)
            desktop.nativeEdgeStrip = std::make_unique<wl::LayerShellStrip>(connection);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    desktop.autostart = std::make_unique<platform::XdgAutostartStore>(platform::currentAutostartFolder());
    desktop.guiPlatform = "wayland";
    desktop.edgeStrip = desktop.nativeEdgeStrip != nullptr;
    desktop.instanceAddress
        = instanceSocketPath(currentInstanceEnvironment(platform::posix::currentUserId()));
    return desktop;
}

#endif

} // namespace

SessionEnvironment SessionEnvironment::current()
{
    return { variable("DISPLAY"), variable("WAYLAND_DISPLAY") };
}

DesktopSelection openSessionDesktop([[maybe_unused]] const SessionEnvironment& environment)
{
#ifdef _WIN32
    return openWindowsDesktop();
#else
    if (!environment.waylandDisplay.empty()) {
        if (std::optional<Desktop> wayland = openWaylandDesktop(environment.waylandDisplay))
            return { std::move(wayland), {} };
    }
    if (environment.display.empty()) {
        if (!environment.waylandDisplay.empty())
            return failure("Der Wayland-Compositor bietet weder die Fensterliste und virtuelle Tastatur von "
                           "wlroots noch X11 (Xwayland) an, also kann Kalmotex dort keinen Text eingeben.");
        return failure(
            "Es ist kein X11-Display angegeben (die Umgebungsvariable DISPLAY ist nicht gesetzt).");
    }
    DesktopSelection x11 = openX11Desktop(environment.display);
    if (x11.desktop && !environment.waylandDisplay.empty()) {
        x11.desktop->noticeKey = "XwaylandNoticeShown";
        x11.desktop->notice
            = "Dieser Wayland-Compositor bietet die Fensterliste und virtuelle Tastatur von wlroots nicht "
              "an (so GNOME und KDE). Kalmotex läuft deshalb über Xwayland und erreicht nur Fenster von "
              "X11-Programmen; in Wayland-Fenster kann es keinen Text eingeben.";
    }
    return x11;
#endif
}

} // namespace kx::app
