#include "app/qt/Program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kx::app {

ui::StartupPaths startupPaths()
{
    const QString appFolder = QCoreApplication::applicationDirPath();
    const QFileInfo folder(appFolder);
    ui::StartupPaths paths;
    if (folder.isWritable()) {
        paths.configFilePath = QDir(appFolder).filePath(QStringLiteral("Kalmotex.ini")).toStdString();
        paths.sampleIniPath = QDir(appFolder).filePath(QStringLiteral("sample.ini")).toStdString();
        paths.helpFolder = appFolder.toStdString();
        return paths;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/kalmotex");
    QDir().mkpath(config);
    const QString shared = QDir(appFolder).filePath(QStringLiteral("../share/kalmotex"));
    paths.configFilePath = QDir(config).filePath(QStringLiteral("Kalmotex.ini")).toStdString();
    paths.sampleIniPath = QDir(shared).filePath(QStringLiteral("sample.ini")).toStdString();
    paths.helpFolder = QDir::cleanPath(shared).toStdString();
    return paths;
}

Program::Program(ui::StartupPaths paths)
    : m_entries(m_config, paths.configFilePath, m_random)
    , m_ignoredTitles(m_config, paths.configFilePath)
{
    m_mainForm = std::make_unique<ui::MainForm>(
        ui::MainFormServices { m_config, m_entries, m_ignoredTitles, m_prompts, m_documentOpener },
        std::move(paths));
    m_prompts.setParent(m_mainForm.get());
}

Program::~Program() = default;

} // namespace kx::app
