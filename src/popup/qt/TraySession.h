#pragma once

#include "popup/qt/TrayController.h"

#include <memory>
#include <string>

class QWidget;

namespace kx::config {
class ConfigAccess;
}
namespace kx::platform {
class Clipboard;
class EventPump;
class Prompts;
class KeyboardOutput;
class WindowSystem;
} // namespace kx::platform
namespace kx::store {
class EntryStore;
class IgnoredTitles;
class TeamLibrary;
} // namespace kx::store
namespace kx::transmit {
class Clock;
class Transmitter;
class WindowDebugLines;
} // namespace kx::transmit

namespace kx::popup {

// Everything a send from the popup menu needs, put together once at start-up: the
// selection dialog, the window debugger's lines, the send pipeline and the tray icon with
// its menu. The borrowed objects must outlive it.
class TraySession
{
public:
    struct Borrowed
    {
        config::ConfigAccess& config;
        store::EntryStore& entries;
        const store::IgnoredTitles& ignoredTitles;
        platform::WindowSystem& windows;
        platform::KeyboardOutput& keyboard;
        platform::Clipboard& clipboard;
        platform::EventPump& events;
        const transmit::Clock& clock;
        platform::Prompts& prompts;
        QWidget* mainWindow; // where the last-used walk starts; parent of the dialog
        store::TeamLibrary* team = nullptr; // the team file's entries in the menu; null: none
    };

    TraySession(Borrowed borrowed, TrayController::Actions actions);
    ~TraySession();

    // In debug mode the diagnostics of failed sends go to stderr.
    void setDebugMode(bool debugMode);

    TrayController& tray() { return *m_tray; }
    transmit::Transmitter& transmitter() { return *m_transmitter; }
    // The lines of the last last-used-window search, for the window debugger.
    transmit::WindowDebugLines& debugLines() { return *m_debugLines; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    std::unique_ptr<transmit::WindowDebugLines> m_debugLines;
    std::unique_ptr<transmit::Transmitter> m_transmitter;
    std::unique_ptr<TrayController> m_tray;
};

} // namespace kx::popup
