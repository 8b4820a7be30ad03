#pragma once

#include "platform/AutostartStore.h"
#include "platform/Clipboard.h"
#include "platform/EdgeStrip.h"
#include "platform/GlobalHotkey.h"
#include "platform/KeyboardOutput.h"
#include "platform/WindowInventory.h"
#include "platform/WindowStates.h"
#include "platform/WindowSystem.h"

#include <memory>
#include <optional>
#include <string>

namespace kx::app {

// Everything the program needs of the running desktop session, from the backend made for
// it. Only the composition root (this folder) knows which backend that is; every other part
// of the program gets these as interfaces.
struct Desktop
{
    std::unique_ptr<platform::WindowSystem> windows;
    std::unique_ptr<platform::KeyboardOutput> keyboard;
    // Null where the GUI toolkit's clipboard is the desktop's (X11: the toolkit owns the
    // selections and answers paste requests from its event loop).
    std::unique_ptr<platform::Clipboard> clipboard;
    std::unique_ptr<platform::AutostartStore> autostart;
    // Null when the desktop offers none; the program then goes on without a hotkey.
    std::unique_ptr<platform::GlobalHotkey> hotkey;
    // Every window as it is, for the window-list monitor; null where the desktop has no such list.
    std::unique_ptr<platform::WindowInventory> inventory;
    // Null when the desktop needs nothing beyond the toolkit's window flags.
    std::unique_ptr<platform::WindowStates> windowStates;
    // The border strip drawn by the desktop's own means; null where the toolkit's window is
    // the strip (X11, Windows).
    std::unique_ptr<platform::EdgeStrip> nativeEdgeStrip;
    // False where no strip can be kept along a screen edge (Wayland without a layer shell).
    bool edgeStrip = true;
    // The GUI toolkit's platform plugin that matches the backend ("xcb", "wayland"); empty
    // where the toolkit's own choice is right.
    std::string guiPlatform;
    // Where the running program listens for a second start and kalmotex-cli (the instance
    // channel); empty where the desktop has none.
    std::string instanceAddress;
    // Said to the user once per configuration file, remembered under this key in section
    // Common: what the program cannot do on this desktop. Empty keys: nothing to say.
    std::string noticeKey;
    std::string notice;
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

// Opens the desktop of the session with the backend made for it: the Windows desktop in a
// Windows build; elsewhere the Wayland backend when the compositor offers the wlroots window
// list and a virtual keyboard, else X11 for an X server (Xwayland included). Call it before the GUI
// toolkit starts, which may end the program with a message of its own when it finds no
// display.
DesktopSelection openSessionDesktop(const SessionEnvironment& environment);

} // namespace kx::app
