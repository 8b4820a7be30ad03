#include "app/qt/Program.h"

#include "config/AppPaths.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
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
    : m_entries(m_config, paths.configFilePath, m_random)
    , m_ignoredTitles(m_config, paths.configFilePath)
    , m_windows(std::move(desktop.windows))
    , m_keyboard(std::move(desktop.keyboard))
{
    m_mainWindow = std::make_unique<ui::MainWindow>(
        ui::MainWindowServices { m_config, m_entries, m_ignoredTitles, m_prompts, m_documentOpener },
        std::move(paths));
    m_prompts.setParent(m_mainWindow.get());

    // The keymap is given back from the event loop, so a send returns with its last key.
    m_keyboard->setDeferKeymapRestore(true);
    m_keymapRestore.setSingleShot(true);
    QObject::connect(&m_keymapRestore, &QTimer::timeout, [this] {
        const platform::TypingResult restored = m_keyboard->restorePendingKeymap();
        if (restored.ok)
            return;
        if (m_mainWindow->debugMode())
            std::cerr << restored.error << ", trying again\n";
        scheduleKeymapRestore();
    });
    ui::MainWindow* mainWindow = m_mainWindow.get();
    m_tray = std::make_unique<popup::TraySession>(popup::TraySession::Borrowed { m_config,
                                                      m_entries.configFilePath(),
                                                      m_entries,
                                                      m_ignoredTitles,
                                                      *m_windows,
                                                      *m_keyboard,
                                                      m_prompts,
                                                      mainWindow },
        popup::TrayController::Actions { [mainWindow] {
                                            mainWindow->show();
                                            mainWindow->raise();
                                            mainWindow->activateWindow();
                                        },
            [mainWindow] { mainWindow->exitProgram(); },
            [this] { scheduleKeymapRestore(); } });
    m_mainWindow->setTray(&m_tray->tray());
}

Program::~Program() = default;

void Program::scheduleKeymapRestore()
{
    const auto due = m_keyboard->restoreDueAt();
    if (!due)
        return;
    const auto wait
        = std::chrono::ceil<std::chrono::milliseconds>(due.value() - std::chrono::steady_clock::now());
    m_keymapRestore.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
}

} // namespace kx::app
