#include "backends/qt/QtPrompts.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace kx::platform {

namespace {

QString fromUtf8(const std::string& s)
{
    // The program's messages break lines with a single CR; Qt wants LF.
    QString text = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::Icon qtIcon(platform::PromptIcon icon)
{
    switch (icon) {
    case platform::PromptIcon::Information:
        return QMessageBox::Information;
    case platform::PromptIcon::Question:
        return QMessageBox::Question;
    case platform::PromptIcon::Warning:
        return QMessageBox::Warning;
    case platform::PromptIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtPrompts::QtPrompts(QWidget* parent)
    : m_parent(parent)
{
}

std::unique_ptr<QMessageBox> QtPrompts::makeMessageBox(const std::string& text,
    platform::PromptIcon icon,
    platform::PromptButtons buttons,
    platform::PromptAnswer defaultAnswer) const
{
    auto box = std::make_unique<QMessageBox>(qtIcon(icon),
        QStringLiteral("Kalmotex"),
        fromUtf8(text),
        QMessageBox::NoButton,
        m_parent);
    // The text can be selected with the mouse and copied, as a count or a window title in
    // it may be wanted elsewhere (X11 puts the selection on PRIMARY).
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (buttons == platform::PromptButtons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(
            defaultAnswer == platform::PromptAnswer::No ? QMessageBox::No : QMessageBox::Yes);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    return box;
}

platform::PromptAnswer QtPrompts::message(const std::string& text,
    platform::PromptIcon icon,
    platform::PromptButtons buttons,
    platform::PromptAnswer defaultAnswer)
{
    const int result = makeMessageBox(text, icon, buttons, defaultAnswer)->exec();
    if (buttons == platform::PromptButtons::YesNo)
        return result == QMessageBox::Yes ? platform::PromptAnswer::Yes : platform::PromptAnswer::No;
    return platform::PromptAnswer::Ok;
}

std::unique_ptr<QInputDialog> QtPrompts::makeInputBox(
    const std::string& prompt, const std::string& title, const std::string& defaultText) const
{
    return makeInputBox(prompt, title, defaultText, m_parent);
}

std::unique_ptr<QInputDialog> QtPrompts::makeInputBox(
    const std::string& prompt, const std::string& title, const std::string& defaultText, QWidget* parent)
{
    auto box = std::make_unique<QInputDialog>(parent);
    box->setWindowTitle(fromUtf8(title));
    box->setLabelText(fromUtf8(prompt));
    box->setTextEchoMode(QLineEdit::Normal);
    box->setTextValue(fromUtf8(defaultText));
    // Wide enough that the window manager need not cut the title short: its text, the
    // icon and the buttons of the title bar (a short question makes a narrow box). The
    // dialog's layout fixes its size from its contents, so the label carries the width.
    if (auto* label = box->findChild<QLabel*>()) {
        const QFontMetrics metrics(box->font());
        label->setMinimumWidth(
            metrics.horizontalAdvance(box->windowTitle()) + 16 * metrics.averageCharWidth());
    }
    return box;
}

std::optional<std::string> QtPrompts::answer(QInputDialog& box)
{
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    const QByteArray utf8 = box.textValue().toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

std::optional<std::string> QtPrompts::input(
    const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    return answer(*makeInputBox(prompt, title, defaultText));
}

std::optional<std::string> QtPrompts::standaloneInput(const std::string& prompt, const std::string& title)
{
    // No parent: openbox and fluxbox raise a dialog's parent with it, and the main window
    // would then cover the window the send goes to.
    return answer(*makeInputBox(prompt, title, {}, nullptr));
}

} // namespace kx::platform
