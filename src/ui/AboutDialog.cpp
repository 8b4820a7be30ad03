#include "ui/AboutDialog.h"

#include "config/Version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kx::ui {

QString AboutDialog::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(config::versionMajor)
        .arg(config::versionMinor)
        .arg(config::versionRevision);
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("[Kalmotex] - Info"));
    setModal(false);

    auto* title = new QLabel(QStringLiteral("Kalmotex"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* about = new QLabel(QStringLiteral("Textbausteine per Mausklick in jedes Fenster tippen."), this);
    about->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(about);
    layout->addWidget(buttons);
}

} // namespace kx::ui
