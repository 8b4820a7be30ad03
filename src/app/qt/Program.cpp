#include "app/qt/Program.h"

#include "backends/qt/QtClipboard.h"
#include "config/AppPaths.h"
#include "diag/qt/WindowDebugger.h"
#include "diag/qt/WindowListMonitor.h"
#include "transmit/Transmitter.h"

#include <QCoreApplication>

#include <iostream>

namespace kx::app {

ui::StartupPaths startupPaths()
{
    const config::AppPaths app(QCoreApplication::applicationFilePath().toStdString());
    const config::ConfigLocation location = config::locateConfig(app.AppFolder());
    const std::string data = config::dataFolder(app.AppFolder());
    return ui::StartupPaths { location.file, data + "sample.ini", data };
}

Program::Program(ui::StartupPaths paths, app::Desktop desktop)
    : m_config(paths.configFilePath)
    , m_entries(m_config, m_random)
    , m_ignoredTitles(m_config)
    , m_team(m_random)
    , m_windows(std::move(desktop.windows))
    , m_keyboard(std::move(desktop.keyboard))
    , m_clipboard(
          desktop.clipboard ? std::move(desktop.clipboard) : std::make_unique<platform::QtClipboard>())
    , m_autostartStore(std::move(desktop.autostart))
    , m_windowStates(std::move(desktop.windowStates))
    , m_nativeStrip(std::move(desktop.nativeEdgeStrip))
    , m_inventory(std::move(desktop.inventory))
    , m_globalHotkey(std::move(desktop.hotkey))
{
    if (const int descriptor = m_windows->eventDescriptor(); descriptor >= 0) {
        m_windowEvents = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        QObject::connect(m_windowEvents.get(), &QSocketNotifier::activated, [this] {
            m_windows->dispatchEvents();
        });
    }
    m_mainWindow = std::make_unique<ui::MainWindow>(
        ui::MainWindowServices { m_entries, m_ignoredTitles, m_prompts, m_documentOpener, &m_team },
        std::move(paths));
    m_prompts.setParent(m_mainWindow.get());

    ui::MainWindow* mainWindow = m_mainWindow.get();
    m_tray = std::make_unique<popup::TraySession>(popup::TraySession::Borrowed { m_config,
                                                      m_entries,
                                                      m_ignoredTitles,
                                                      *m_windows,
                                                      *m_keyboard,
                                                      *m_clipboard,
                                                      m_events,
                                                      m_clock,
                                                      m_prompts,
                                                      mainWindow,
                                                      &m_team },
        popup::TrayController::Actions { [this] { showMainWindow(); },
            [mainWindow] { mainWindow->exitProgram(); } });
    m_mainWindow->setTray(&m_tray->tray());

    popup::TrayController* tray = &m_tray->tray();
    if (m_globalHotkey)
        m_hotkey = std::make_unique<popup::HotkeyController>(popup::HotkeyController::Borrowed { m_config,
            *m_globalHotkey,
            m_prompts,
            [tray] { tray->showMenu(); },
            [mainWindow](const std::string& error) {
                if (mainWindow->debugMode())
                    std::cerr << error << '\n';
            },
            &m_entries,
            [tray](int number) { tray->chooseEntry(number); } });
    QObject::connect(mainWindow, &ui::MainWindow::extraOptionsRequested, [this] { openExtraOptions(); });
    m_options = std::make_unique<popup::OptionsController>(popup::OptionsController::Borrowed { m_config,
        *m_autostartStore,
        m_prompts,
        QCoreApplication::applicationFilePath().toStdString(),
        [tray] { tray->showMenu(); },
        mainWindow,
        {},
        [this](WId window) {
            // Qt has no flag for everything the strip is to the desktop.
            if (m_windowStates)
                m_windowStates->makeScreenEdgeStrip(static_cast<platform::WindowHandle>(window));
        },
        desktop.edgeStrip,
        m_nativeStrip.get() });
    m_mainWindow->setOptions(m_options.get());
    m_mainWindow->setHotkeys(m_hotkey.get());
    QObject::connect(mainWindow, &ui::MainWindow::optionsRequested, [this](bool modal) {
        m_options->showOptionsDialog(modal);
    });
    QObject::connect(mainWindow, &ui::MainWindow::debuggerRequested, [this] { openWindowDebugger(); });
    QObject::connect(mainWindow, &ui::MainWindow::windowListMonitorRequested, [this] {
        openWindowListMonitor();
    });
    QObject::connect(mainWindow, &ui::MainWindow::closeDebuggerRequested, [this] {
        if (m_debugger)
            m_debugger->close();
    });
    QObject::connect(mainWindow, &ui::MainWindow::closeWindowListMonitorRequested, [this] {
        if (m_monitor)
            m_monitor->close();
    });
}

Program::~Program() = default;

void Program::showMainWindow()
{
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void Program::startHotkey()
{
    if (m_hotkey)
        m_hotkey->apply();
}

void Program::openExtraOptions()
{
    // Built on first use, like the other windows most users never open.
    if (!m_extraOptions)
        m_extraOptions = std::make_unique<popup::ExtraOptionsDialog>(
            popup::ExtraOptionsDialog::Services { m_config,
                [this] {
                    if (m_hotkey)
                        m_hotkey->suspend();
                },
                [this](bool saved) {
                    if (m_hotkey)
                        m_hotkey->apply(saved);
                },
                [this](const std::string& text) { return !m_hotkey || m_hotkey->acceptMenuHotkey(text); } },
            m_mainWindow.get());
    m_extraOptions->openDialog();
}

void Program::openWindowDebugger()
{
    if (!m_debugger)
        m_debugger
            = std::make_unique<diag::WindowDebugger>(diag::WindowDebuggerServices { m_tray->debugLines(),
                m_ignoredTitles,
                m_prompts,
                m_textEditor,
                *m_clipboard,
                m_entries.configFilePath(),
                m_tray->transmitter().sendLog() });
    m_debugger->open();
}

void Program::openWindowListMonitor()
{
    if (!m_monitor) {
        if (!m_inventory)
            return;
        ui::MainWindow* mainWindow = m_mainWindow.get();
        m_monitor = std::make_unique<diag::WindowListMonitor>(
            *m_inventory,
            m_clock,
            [mainWindow] { return static_cast<platform::WindowHandle>(mainWindow->winId()); },
            *m_clipboard);
    }
    m_monitor->open();
}

} // namespace kx::app
