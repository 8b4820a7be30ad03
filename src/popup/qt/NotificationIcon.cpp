#include "popup/qt/NotificationIcon.h"

#include <QSystemTrayIcon>

namespace kx::popup {

NotificationIcon::NotificationIcon(QObject* parent)
    : QObject(parent)
{
    // Qt's tray watcher re-creates the icon when a tray host starts; we only need to know
    // when that happens, so a slow poll of the availability flag is enough.
    m_trayPoll.setInterval(1000);
    connect(&m_trayPoll, &QTimer::timeout, this, &NotificationIcon::pollForTray);
}

NotificationIcon::~NotificationIcon() = default;

bool NotificationIcon::trayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void NotificationIcon::addIcon(const QIcon& icon, const QString& tip)
{
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip.left(63));
    // On X11 (XEmbed) Qt reports a press of the left button as Trigger and of the right
    // button as Context, both on the press; the second press of a double click arrives as
    // DoubleClick only, so it never opens a second menu.
    connect(m_icon.get(),
        &QSystemTrayIcon::activated,
        this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                emit buttonPressed();
        });
    m_icon->show();
    if (!trayAvailable())
        m_trayPoll.start();
}

void NotificationIcon::deleteIcon()
{
    m_trayPoll.stop();
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
}

bool NotificationIcon::isVisible() const { return m_icon && m_icon->isVisible() && trayAvailable(); }

QString NotificationIcon::toolTip() const { return m_icon ? m_icon->toolTip() : QString(); }

void NotificationIcon::pollForTray()
{
    if (!m_icon || !trayAvailable())
        return;
    m_trayPoll.stop();
    // Showing again makes sure the icon is embedded in the new host.
    m_icon->hide();
    m_icon->show();
    emit trayAppeared();
}

} // namespace kx::popup
