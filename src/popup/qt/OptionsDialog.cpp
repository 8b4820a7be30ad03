#include "popup/qt/OptionsDialog.h"

#include "popup/AutostartSwitch.h"

#include <QCloseEvent>

namespace kx::popup {

OptionsDialog::OptionsDialog(Services services, QWidget* parent)
    : QDialog(parent)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("OptionsForm"));
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::setUp()
{
    m_setUpDue = false;
    setWindowTitle(QStringLiteral("[Kalmotex] - Optionen"));
}

void OptionsDialog::showColour(const QColor&) { }

void OptionsDialog::open(bool modal)
{
    if (m_setUpDue)
        setUp();
    setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    // Closed without "&OK": nothing is saved, and the next opening sets the dialog up anew.
    m_setUpDue = true;
    QDialog::closeEvent(event);
}

} // namespace kx::popup
