#include "popup/qt/NotificationIcon.h"

#include <QSystemTrayIcon>

namespace kx::popup {

NotificationIcon::NotificationIcon(QObject* parent)
    : QObject(parent)
{
}

NotificationIcon::~NotificationIcon() = default;

bool NotificationIcon::trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void NotificationIcon::addIcon(const QIcon& icon, const QString& tip)
{
    m_idleIcon = icon;
    // The tray picks the size it needs, so every size gets its greyed form.
    m_busyIcon = QIcon();
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = { QSize(64, 64) };
    for (const QSize& size : sizes)
        m_busyIcon.addPixmap(icon.pixmap(size, QIcon::Disabled));
    m_idleTip = tip.left(63);
    m_icon = std::make_unique<QSystemTrayIcon>();
    showState();
    // On X11 (XEmbed) Qt reports a press of the left button as Trigger and of the right
    // button as Context, both on the press. A press within the double-click time and
    // distance of the one before arrives as DoubleClick only and opens nothing, also when
    // the first press's menu has closed in between (so does the Windows version).
    connect(m_icon.get(),
        &QSystemTrayIcon::activated,
        this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                emit buttonPressed();
        });
    // Without a tray host Qt keeps the icon and embeds it as soon as a host takes the
    // tray selection.
    m_icon->show();
}

void NotificationIcon::deleteIcon()
{
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
}

void NotificationIcon::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    showState();
}

void NotificationIcon::showState()
{
    if (!m_icon)
        return;
    if (!m_busy) {
        m_icon->setIcon(m_idleIcon);
        m_icon->setToolTip(m_idleTip);
        return;
    }
    m_icon->setIcon(m_busyIcon);
    m_icon->setToolTip(QStringLiteral("[Kalmotex] - Übertragung läuft"));
}

QString NotificationIcon::toolTip() const { return m_icon ? m_icon->toolTip() : QString(); }

} // namespace kx::popup
