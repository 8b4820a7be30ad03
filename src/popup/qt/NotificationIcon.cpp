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
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip.left(63));
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

QString NotificationIcon::toolTip() const { return m_icon ? m_icon->toolTip() : QString(); }

} // namespace kx::popup
