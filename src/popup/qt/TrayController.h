#pragma once

#include "popup/PopupMenu.h"

#include <QIcon>
#include <QObject>

#include <functional>
#include <memory>
#include <string>

namespace kx::config {
class ConfigAccess;
}
namespace kx::store {
class TeamLibrary;
}
namespace kx::transmit {
class Transmitter;
}

namespace kx::popup {

class NotificationIcon;
class PopupMenuWidget;

// The notification-area icon, the popup menu of entries it opens, and what a chosen item
// does. Everything runs on the GUI thread; showMenu() returns when the menu has closed and
// the chosen item has been handled.
class TrayController : public QObject
{
    Q_OBJECT

public:
    struct Actions
    {
        std::function<void()> showMainWindow; // "&Bearbeiten"
        std::function<void()> exitProgram; // "B&eenden"
    };

    TrayController(config::ConfigAccess& config,
        transmit::Transmitter& transmitter,
        Actions actions,
        QObject* parent = nullptr);
    ~TrayController() override;

    // The team file whose entries the menu shows after one's own (read at every opening);
    // null (the default) for none. Borrowed; must outlive this.
    void setTeamLibrary(store::TeamLibrary* team) { m_team = team; }

    // Registers the icon with the tip "[Kalmotex]". Returns whether a notification area
    // shows it now; when it does not, the caller keeps its main window visible.
    bool addIcon(const QIcon& icon);
    void deleteIcon();

    // Rebuilds the menu from the configuration file and opens it at the mouse pointer;
    // nothing while a send runs (the icon is greyed then).
    void showMenu();
    // Rebuilds the menu's items from the configuration file as it is now.
    void rebuildMenu();
    // The click on element `index` of the menu (1-based; 0 = closed without a choice).
    void chooseMenuItem(int index);

    enum class RequestOutcome
    {
        Typed,
        NothingTyped, // no target window (the message was shown) or the choice was cancelled
        NoSuchEntry, // the menu, rebuilt now, has no item for the entry
        Busy, // the menu is open or a send is under way: refused, as the menu itself refuses
    };
    // A send of entry `number` asked for from outside (another process): the menu is
    // rebuilt and its item for the entry chosen, exactly as a click on it.
    RequestOutcome chooseEntry(int number);
    // The menu asked for from outside (kalmotex-cli menu, from a compositor's key binding):
    // opened as showMenu() does once the caller's event has been handled, so that the asker
    // is answered first. False when it is refused (the menu is open or a send is under way).
    bool requestMenu();

    const PopupMenu& menuModel() const { return m_model; }
    const NotificationIcon& notificationIcon() const { return *m_icon; }

private:
    void sendEntry(int number, bool fromTeam);

    config::ConfigAccess& m_config;
    transmit::Transmitter& m_transmitter;
    Actions m_actions;
    store::TeamLibrary* m_team = nullptr;
    PopupMenu m_model;
    std::unique_ptr<NotificationIcon> m_icon;
    std::unique_ptr<PopupMenuWidget> m_menu;
    bool m_menuOpen = false;
};

} // namespace kx::popup
