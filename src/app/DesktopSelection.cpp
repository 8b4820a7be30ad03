#include "app/DesktopSelection.h"

#include "platform/x11/X11GlobalHotkey.h"
#include "platform/x11/X11KeyboardOutput.h"
#include "platform/x11/X11WindowInventory.h"
#include "platform/x11/X11WindowSystem.h"

#include <cstdlib>
#include <stdexcept>

namespace kx::app {

namespace {

std::string variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

DesktopSelection failure(const std::string& why)
{
    return { std::nullopt, "Kalmotex kann nicht starten: " + why };
}

} // namespace

SessionEnvironment SessionEnvironment::current()
{
    return { variable("DISPLAY"), variable("WAYLAND_DISPLAY") };
}

DesktopSelection openSessionDesktop(const SessionEnvironment& environment)
{
    if (environment.display.empty()) {
        if (!environment.waylandDisplay.empty())
            return failure("Die Wayland-Sitzung bietet kein X11 (Xwayland) an, und Kalmotex kann bisher nur "
                           "unter X11 Text eingeben.");
        return failure(
            "Es ist kein X11-Display angegeben (die Umgebungsvariable DISPLAY ist nicht gesetzt).");
    }
    std::shared_ptr<platform::x11::X11Connection> connection;
    try {
        connection = std::make_shared<platform::x11::X11Connection>(environment.display);
    } catch (const std::runtime_error&) {
        return failure("Das X11-Display „" + environment.display + "“ ist nicht erreichbar.");
    }
    try {
        Desktop desktop { std::make_unique<platform::x11::X11WindowSystem>(connection),
            std::make_unique<platform::x11::X11KeyboardOutput>(connection),
            nullptr,
            std::make_unique<platform::x11::X11WindowInventory>(connection) };
        try {
            desktop.hotkey = std::make_unique<platform::x11::X11GlobalHotkey>(environment.display);
        } catch (const std::runtime_error&) {
            // A server that refuses a second connection still takes typed text.
        }
        return { std::move(desktop), {} };
    } catch (const std::runtime_error&) {
        return failure("Der X-Server des Displays „" + environment.display
            + "“ kann keine Tastatureingaben erzeugen (XTEST oder XKEYBOARD fehlt).");
    }
}

} // namespace kx::app
