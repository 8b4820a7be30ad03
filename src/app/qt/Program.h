#pragma once

#include "app/DesktopSelection.h"
#include "backends/qt/QtEventPump.h"
#include "backends/qt/QtPrompts.h"
#include "config/ConfigAccess.h"
#include "diag/qt/DesktopTextEditor.h"
#include "help/qt/DesktopOpener.h"
#include "popup/qt/ExtraOptionsDialog.h"
#include "popup/qt/HotkeyController.h"
#include "popup/qt/OptionsController.h"
#include "popup/qt/TraySession.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "store/TeamLibrary.h"
#include "store/TimeSeededRandom.h"
#include "transmit/Clock.h"
#include "ui/MainWindow.h"

#include <QSocketNotifier>

#include <memory>

namespace kx::diag {
class WindowDebugger;
class WindowListMonitor;
} // namespace kx::diag

namespace kx::app {

// Where the configuration, the sample and the help page are for this executable.
ui::StartupPaths startupPaths();

// The composition root: owns every service of the running program and the main window
// that uses them. Created once in main, after the GUI runtime, with the session's desktop.
class Program
{
public:
    Program(ui::StartupPaths paths, app::Desktop desktop);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ui::MainWindow& mainWindow() { return *m_mainWindow; }
    // Shows the main window raised and active ("&Bearbeiten", a second start).
    void showMainWindow();
    config::ConfigAccess& config() { return m_config; }
    store::EntryStore& entries() { return m_entries; }
    store::IgnoredTitles& ignoredTitles() { return m_ignoredTitles; }
    platform::Prompts& prompts() { return m_prompts; }
    popup::TraySession& traySession() { return *m_tray; }
    popup::OptionsController& options() { return *m_options; }
    // Start-up, after the main window's load: grabs the hotkey the options name.
    void startHotkey();
    // Created on first use; null before.
    diag::WindowDebugger* windowDebugger() { return m_debugger.get(); }
    diag::WindowListMonitor* windowListMonitor() { return m_monitor.get(); }

private:
    void openExtraOptions();
    void openWindowDebugger();
    void openWindowListMonitor();

    config::ConfigAccess m_config;
    store::TimeSeededRandom m_random;
    store::EntryStore m_entries;
    store::IgnoredTitles m_ignoredTitles;
    store::TeamLibrary m_team;
    platform::QtPrompts m_prompts;
    help::DesktopOpener m_documentOpener;
    std::unique_ptr<ui::MainWindow> m_mainWindow;
    // The desktop the entries are typed into, and the tray's send stack over it.
    std::unique_ptr<platform::WindowSystem> m_windows;
    // Lets the window system follow the desktop (which window is used) between sends.
    std::unique_ptr<QSocketNotifier> m_windowEvents;
    std::unique_ptr<platform::KeyboardOutput> m_keyboard;
    std::unique_ptr<platform::Clipboard> m_clipboard;
    std::unique_ptr<platform::AutostartStore> m_autostartStore;
    std::unique_ptr<platform::WindowStates> m_windowStates;
    // The options' border strip draws into it, so it outlives them.
    std::unique_ptr<platform::EdgeStrip> m_nativeStrip;
    std::unique_ptr<platform::WindowInventory> m_inventory;
    platform::QtEventPump m_events;
    transmit::SystemClock m_clock;
    std::unique_ptr<popup::TraySession> m_tray;
    // The hotkey opens the tray's menu, so it goes before the tray.
    std::unique_ptr<platform::GlobalHotkey> m_globalHotkey;
    std::unique_ptr<popup::HotkeyController> m_hotkey;
    std::unique_ptr<popup::ExtraOptionsDialog> m_extraOptions;
    // Opens the tray's menu from the border strip, so it goes before the tray.
    std::unique_ptr<popup::OptionsController> m_options;
    // The diagnostic windows; they read the tray's debugger lines, so they go first.
    diag::DesktopTextEditor m_textEditor;
    std::unique_ptr<diag::WindowDebugger> m_debugger;
    std::unique_ptr<diag::WindowListMonitor> m_monitor;
};

} // namespace kx::app
