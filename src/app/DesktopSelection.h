#pragma once

#include "platform/GlobalHotkey.h"
#include "platform/KeyboardOutput.h"
#include "platform/WindowInventory.h"
#include "platform/WindowSystem.h"

#include <memory>
#include <optional>
#include <string>

namespace kx::app {

// The windows and the keyboard of the running desktop session, from one backend.
struct Desktop
{
    std::unique_ptr<platform::WindowSystem> windows;
    std::unique_ptr<platform::KeyboardOutput> keyboard;
    // Null when the desktop offers none; the program then goes on without a hotkey.
    std::unique_ptr<platform::GlobalHotkey> hotkey;
    // Every window as it is, for the window-list monitor.
    std::unique_ptr<platform::WindowInventory> inventory;
};

// What tells the running session apart: the environment variables of a graphical session.
// Unset and empty are the same.
struct SessionEnvironment
{
    std::string display; // $DISPLAY: an X11 server (also Xwayland in a Wayland session)
    std::string waylandDisplay; // $WAYLAND_DISPLAY

    static SessionEnvironment current();
};

struct DesktopSelection
{
    std::optional<Desktop> desktop;
    std::string error; // when there is no desktop: why, in German, for the user
};

// Opens the desktop of the session with the backend made for it: X11 for an X server
// (Xwayland included). Call it before the GUI toolkit starts, which may end the program
// with a message of its own when it finds no display.
DesktopSelection openSessionDesktop(const SessionEnvironment& environment);

} // namespace kx::app
