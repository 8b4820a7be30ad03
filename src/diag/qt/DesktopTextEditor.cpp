#include "diag/qt/DesktopTextEditor.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace kx::diag {

bool DesktopTextEditor::openInEditor(const std::string& file)
{
    const auto variable = [](const char* name) { return qEnvironmentVariable(name).toStdString(); };
    for (const LaunchCommand& command :
        terminalEditorCommands(file, variable("VISUAL"), variable("EDITOR"))) {
        QStringList arguments;
        for (const std::string& argument : command.arguments)
            arguments << QString::fromStdString(argument);
        // Not waited for: the editor lives on its own, also after the program ends.
        if (QProcess::startDetached(QString::fromStdString(command.program), arguments))
            return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file)));
}

} // namespace kx::diag
