#include "popup/qt/ExtraOptionsDialog.h"

#include "popup/qt/OneCombinationEdit.h"
#include "store/Options.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::popup {

ExtraOptionsDialog::ExtraOptionsDialog(Services services, QWidget* parent)
    : QDialog(parent)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("ExtraOptionsDialog"));
    setWindowTitle(QStringLiteral("[Kalmotex] - Weitere Optionen"));

    auto* hotkeyLabel = new QLabel(QStringLiteral("&Tastenkürzel für das Menü:"), this);
    m_hotkey = new OneCombinationEdit([this] { m_ok->setFocus(Qt::OtherFocusReason); }, this);
    m_hotkey->setObjectName(QStringLiteral("HotkeyEdit"));
    hotkeyLabel->setBuddy(m_hotkey);
    m_clearHotkey = new QPushButton(QStringLiteral("&Keines"), this);
    m_clearHotkey->setObjectName(QStringLiteral("HotkeyClearBtn"));
    m_clearHotkey->setAutoDefault(false);
    connect(m_clearHotkey, &QPushButton::clicked, m_hotkey, &QKeySequenceEdit::clear);
    m_singleInstance = new QCheckBox(
        QStringLiteral("&Nur ein Programm gleichzeitig (ein zweiter Start zeigt das laufende)"),
        this);
    m_singleInstance->setObjectName(QStringLiteral("SingleInstanceChk"));
    m_typeToFilter = new QCheckBox(QStringLiteral("Tippen &filtert das Menü und die Fensterauswahl"), this);
    m_typeToFilter->setObjectName(QStringLiteral("TypeToFilterChk"));
    m_focusGuard
        = new QCheckBox(QStringLiteral("Übertragung &stoppen, wenn das Zielfenster den Fokus verliert"),
            this);
    m_focusGuard->setObjectName(QStringLiteral("FocusGuardChk"));

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("OkBtn"));
    m_ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("&Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* hotkeyRow = new QHBoxLayout;
    hotkeyRow->addWidget(hotkeyLabel);
    hotkeyRow->addWidget(m_hotkey, 1);
    hotkeyRow->addWidget(m_clearHotkey);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(hotkeyRow);
    layout->addWidget(m_singleInstance);
    layout->addWidget(m_typeToFilter);
    layout->addWidget(m_focusGuard);
    layout->addStretch(1);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ExtraOptionsDialog::openDialog()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    const store::ExtraOptions options = store::loadExtraOptions(m_services.config);
    m_hotkey->setCombinationText(options.hotkey);
    m_singleInstance->setChecked(options.singleInstance);
    m_typeToFilter->setChecked(options.typeToFilter);
    m_focusGuard->setChecked(options.focusGuard);
    if (m_services.opening)
        m_services.opening();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    // Not in the key field, which would take the access keys for a new combination;
    // "&Tastenkürzel" leads there.
    m_ok->setFocus(Qt::OtherFocusReason);
}

void ExtraOptionsDialog::save()
{
    store::ExtraOptions options;
    options.hotkey = m_hotkey->combinationText();
    options.singleInstance = m_singleInstance->isChecked();
    options.typeToFilter = m_typeToFilter->isChecked();
    options.focusGuard = m_focusGuard->isChecked();
    // As with the other options, a failed write leaves this run's settings in effect.
    static_cast<void>(store::saveExtraOptions(m_services.config, options));
}

void ExtraOptionsDialog::done(int result)
{
    if (result == QDialog::Accepted && m_services.acceptHotkey) {
        const std::string stored = store::loadExtraOptions(m_services.config).hotkey;
        const std::string wanted = m_hotkey->combinationText();
        if (wanted != stored && !m_services.acceptHotkey(wanted)) {
            m_hotkey->setCombinationText(stored);
            return;
        }
    }
    const bool wasOpen = isVisible();
    if (result == QDialog::Accepted)
        save();
    QDialog::done(result);
    if (wasOpen && m_services.closed)
        m_services.closed(result == QDialog::Accepted);
}

} // namespace kx::popup
