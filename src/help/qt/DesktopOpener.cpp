#include "help/qt/DesktopOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace kx::help {

void DesktopOpener::open(const std::string& path)
{
    // The result is not looked at: a desktop without a browser simply shows nothing.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace kx::help
