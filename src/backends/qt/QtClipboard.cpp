#include "backends/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kx::platform {

bool QtClipboard::setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QString value = QString::fromStdString(text);
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setText(value, QClipboard::Clipboard);
    bool ok = clipboard->text(QClipboard::Clipboard) == value;
    if (clipboard->supportsSelection()) {
        clipboard->setText(value, QClipboard::Selection);
        ok = ok && clipboard->text(QClipboard::Selection) == value;
    }
    return ok;
}

} // namespace kx::platform
