#include "app/qt/InstanceServer.h"
#include "app/qt/Program.h"
#include "app/qt/StartFolder.h"
#include "backends/qt/GermanQtTranslation.h"
#include "config/CommandLine.h"
#include "config/ConfigAccess.h"
#include "popup/qt/ProgramIcon.h"
#include "store/EntryStore.h"
#include "store/Options.h"

#include <QApplication>

#include <clocale>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Answered without a display, so they work over ssh and in package checks.
    switch (kx::config::informationRequest(std::vector<std::string>(argv + 1, argv + argc))) {
    case kx::config::InformationRequest::usage:
        std::cout << kx::config::programUsage();
        return 0;
    case kx::config::InformationRequest::version:
        std::cout << kx::config::versionLine("kalmotex");
        return 0;
    case kx::config::InformationRequest::none:
        break;
    }

    // Before QApplication: without a display Qt's X11 plugin ends the program with a message
    // of its own, and there would be nothing to show a window on anyway.
    kx::app::DesktopSelection session = kx::app::openSessionDesktop(kx::app::SessionEnvironment::current());
    if (!session.desktop) {
        std::cerr << session.error << '\n';
        return 1;
    }

    // Qt's windows on the display the backend works with: X11 windows for the X11 backend also
    // in a Wayland session. A platform the user chose stays. As an option, not through the
    // environment, so that programs started from here (an editor) choose for themselves.
    std::string platformOption = "-platform";
    std::string platformName = session.desktop->guiPlatform;
    std::vector<char*> qtArguments(argv, argv + argc);
    if (!platformName.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qtArguments.insert(qtArguments.begin() + 1, { platformOption.data(), platformName.data() });
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    // Before QApplication: on Wayland the windows' app id is the desktop file's name, by which
    // the backend tells the program's own windows from the others.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.kalmotex.Kalmotex"));
    QApplication application(qtArgumentCount, qtArguments.data());
    // The interface is German by design, Qt's standard buttons and key names included.
    if (!kx::platform::loadGermanQtTranslation(application))
        std::cerr << "kalmotex: Qt's German texts (qtbase_de.qm, package qt6-translations-l10n) are "
                     "missing; standard buttons stay English\n";
    // Date and time placeholders are formatted in the user's locale.
    std::setlocale(LC_TIME, "");
    QApplication::setApplicationName(QStringLiteral("Kalmotex"));
    // Every window's title bar shows the program's icon: the debugger, the monitor and the
    // dialogs as well as the main window.
    QApplication::setWindowIcon(kx::popup::programIcon());
    // Hidden in the notification area is the normal state, not a reason to end.
    QApplication::setQuitOnLastWindowClosed(false);

    // QApplication has taken its own options out of argv.
    std::vector<std::string> arguments(qtArguments.begin() + 1, qtArguments.begin() + qtArgumentCount);

    kx::ui::StartupPaths paths = kx::app::startupPaths();
    // One program per user and display: a second start shows the first one's main window
    // and ends, before it puts a second icon into the tray.
    std::optional<std::string> instanceSocket;
    {
        kx::config::ConfigAccess options(paths.configFilePath);
        if (kx::store::loadExtraOptions(options).singleInstance && !session.desktop->instanceAddress.empty())
            instanceSocket = session.desktop->instanceAddress;
    }
    if (instanceSocket) {
        switch (kx::app::showRunningInstance(*instanceSocket, 5000)) {
        case kx::app::RunningInstance::Shown:
            return 0;
        case kx::app::RunningInstance::NotAnswering:
            std::cerr << "kalmotex: a running kalmotex holds " << *instanceSocket
                      << " but does not answer; not starting a second one\n";
            return 1;
        case kx::app::RunningInstance::None:
            break;
        }
    }
    kx::app::enterConfigFolder(paths);
    const std::string noticeKey = session.desktop->noticeKey;
    const std::string notice = session.desktop->notice;
    kx::app::Program program(std::move(paths), std::move(*session.desktop));
    if (kx::store::reportUnreadableConfig(program.entries().configFilePath(), program.prompts()))
        return 1;
    if (!noticeKey.empty()) {
        kx::config::ConfigAccess options(program.entries().configFilePath());
        kx::store::showNoticeOnce(options, program.prompts(), noticeKey, notice);
    }
    kx::ui::MainWindow& mainWindow = program.mainWindow();
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &mainWindow, &kx::ui::MainWindow::unload);
    mainWindow.load(arguments);
    program.traySession().setDebugMode(mainWindow.debugMode());
    // Listening only now, when a request finds the program ready to send.
    kx::app::InstanceServer instanceServer(program.traySession().tray(),
        [&program] { program.showMainWindow(); });
    if (instanceSocket && !instanceServer.listen(*instanceSocket))
        std::cerr << "kalmotex: cannot listen at " << *instanceSocket << ": "
                  << instanceServer.errorString().toStdString() << "; kalmotex-cli send will not reach it\n";
    // After the listening, so that a message about a taken hotkey does not hold up a second start.
    program.startHotkey();
    const int result = QApplication::exec();
    mainWindow.unload();
    return result;
}
