#include "backends/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kx::platform {

text::Result QtClipboard::setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return text::Result::failure("clipboard: none without a running application");
    const QString value = QString::fromStdString(text);
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setText(value, QClipboard::Clipboard);
    // Reading back shows whether the system took the text.
    const bool clipboardTook = clipboard->text(QClipboard::Clipboard) == value;
    bool selectionTook = true;
    if (clipboard->supportsSelection()) {
        clipboard->setText(value, QClipboard::Selection);
        selectionTook = clipboard->text(QClipboard::Selection) == value;
    }
    if (!clipboardTook)
        return text::Result::failure("clipboard: the CLIPBOARD selection did not take the text");
    if (!selectionTook)
        return text::Result::failure("clipboard: the PRIMARY selection did not take the text");
    return {};
}

std::string QtClipboard::readText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return {};
    const QByteArray utf8 = clipboard->text(QClipboard::Clipboard).toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

} // namespace kx::platform
