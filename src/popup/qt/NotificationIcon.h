#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QSystemTrayIcon;

namespace kx::popup {

// The program's icon in the notification area. A press of the left or the right mouse
// button on it is reported once (buttonPressed); releases, moves, the middle button and
// double clicks are not.
class NotificationIcon : public QObject
{
    Q_OBJECT

public:
    explicit NotificationIcon(QObject* parent = nullptr);
    ~NotificationIcon() override;

    // Registers the icon with its tip (cut to 63 characters, as the tray's tip field
    // holds). Without a tray host the icon is kept and shown as soon as a host appears.
    void addIcon(const QIcon& icon, const QString& tip);
    // Removes the icon; nothing when there is none.
    void deleteIcon();

    // While a send runs the icon is drawn greyed and its tip says so; a press on it then
    // opens nothing.
    void setBusy(bool busy);

    bool isAdded() const { return m_icon != nullptr; }
    QString toolTip() const;

    // Whether a notification area exists on this desktop now.
    static bool trayAvailable();

signals:
    void buttonPressed();

private:
    void showState();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    QIcon m_idleIcon;
    QIcon m_busyIcon;
    QString m_idleTip;
    bool m_busy = false;
};

} // namespace kx::popup
