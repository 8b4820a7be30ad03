#include "app/qt/Program.h"

#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>

// Last: Xlib defines macros (None, Bool, ...) that Qt's headers must not see.
#include "platform/x11/X11KeyboardOutput.h"
#include "platform/x11/X11WindowSystem.h"

namespace kx::app {

ui::StartupPaths startupPaths()
{
    const AppPaths app(QCoreApplication::applicationFilePath().toStdString());
    const ConfigLocation config = locateConfig(app.AppFolder());
    // A portable copy or a build folder has the sample and the help page beside the program;
    // an installed program finds them in its shared data folder.
    const std::filesystem::path data = config.besideProgram
        ? std::filesystem::path(app.AppFolder())
        : std::filesystem::path(app.AppFolder()) / "../share/kalmotex/";
    const std::filesystem::path folder = data.lexically_normal();
    return ui::StartupPaths { config.file, (folder / "sample.ini").string(), folder.string() };
}

Program::Program(ui::StartupPaths paths)
    : m_entries(m_config, paths.configFilePath, m_random)
    , m_ignoredTitles(m_config, paths.configFilePath)
{
    m_mainForm = std::make_unique<ui::MainForm>(
        ui::MainFormServices { m_config, m_entries, m_ignoredTitles, m_prompts, m_documentOpener },
        std::move(paths));
    m_prompts.setParent(m_mainForm.get());

    m_x11 = std::make_shared<platform::x11::X11Connection>();
    m_windows = std::make_unique<platform::x11::X11WindowSystem>(m_x11);
    m_keyboard = std::make_unique<platform::x11::X11KeyboardOutput>(m_x11);
    // The keymap is given back from the event loop, so a send returns with its last key.
    m_keyboard->setDeferKeymapRestore(true);
    ui::MainForm* mainForm = m_mainForm.get();
    platform::x11::X11KeyboardOutput* keyboard = m_keyboard.get();
    m_tray = std::make_unique<popup::TraySession>(popup::TraySession::Borrowed { m_config,
                                                      m_entries.configFilePath(),
                                                      m_entries,
                                                      m_ignoredTitles,
                                                      *m_windows,
                                                      *m_keyboard,
                                                      m_prompts,
                                                      mainForm },
        popup::TrayController::Actions { [mainForm] {
                                            mainForm->show();
                                            mainForm->raise();
                                            mainForm->activateWindow();
                                        },
            [mainForm] { mainForm->exitProgram(); },
            [keyboard] {
                const auto due = keyboard->restoreDueAt();
                if (!due)
                    return;
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
                    due.value() - std::chrono::steady_clock::now());
                QTimer::singleShot(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)),
                    [keyboard] { keyboard->restorePendingKeymap(); });
            } });
    m_mainForm->setTray(&m_tray->tray());
}

Program::~Program() = default;

} // namespace kx::app
