#include "popup/qt/TraySession.h"

#include "store/Options.h"
#include "transmit/Transmitter.h"
#include "transmit/WindowDebugLog.h"
#include "transmit/qt/TargetSelectionDialog.h"

#include <QPointer>
#include <QWidget>

#include <iostream>

namespace kx::popup {

struct TraySession::Parts
{
    Parts(QWidget* mainWindow, config::ConfigAccess& config)
        : chooser(mainWindow, [&config] { return store::loadExtraOptions(config).typeToFilter; })
    {
    }

    transmit::DialogWindowChooser chooser;
};

TraySession::TraySession(Borrowed borrowed, TrayController::Actions actions)
    : m_parts(std::make_unique<Parts>(borrowed.mainWindow, borrowed.config))
    , m_debugLines(std::make_unique<transmit::WindowDebugLines>())
{
    QPointer<QWidget> mainWindow = borrowed.mainWindow;
    m_transmitter = std::make_unique<transmit::Transmitter>(transmit::SendServices { borrowed.entries,
        borrowed.ignoredTitles,
        borrowed.windows,
        borrowed.keyboard,
        borrowed.clipboard,
        borrowed.prompts,
        m_parts->chooser,
        *m_debugLines,
        borrowed.clock,
        borrowed.events,
        [mainWindow]() -> platform::WindowHandle {
            return mainWindow ? static_cast<platform::WindowHandle>(mainWindow->winId()) : 0;
        } });
    m_tray = std::make_unique<TrayController>(borrowed.config, *m_transmitter, std::move(actions));
    m_tray->setTeamLibrary(borrowed.team);
}

TraySession::~TraySession() = default;

void TraySession::setDebugMode(bool debugMode)
{
    m_transmitter->setDebugOutput(debugMode ? &std::cerr : nullptr);
}

} // namespace kx::popup
