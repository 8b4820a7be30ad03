#include "popup/qt/TrayController.h"

#include "popup/qt/NotificationIcon.h"
#include "popup/qt/PopupMenuWidget.h"
#include "popup/qt/ProgramIcon.h"
#include "store/Options.h"
#include "store/TeamLibrary.h"
#include "transmit/Transmitter.h"

#include <QCursor>
#include <QTimer>

namespace kx::popup {

TrayController::TrayController(
    config::ConfigAccess& config, transmit::Transmitter& transmitter, Actions actions, QObject* parent)
    : QObject(parent)
    , m_config(config)
    , m_transmitter(transmitter)
    , m_actions(std::move(actions))
    , m_icon(std::make_unique<NotificationIcon>())
    , m_menu(std::make_unique<PopupMenuWidget>())
{
    m_menu->setObjectName("PumMain");
    // End-to-end tests find the open menu by this title; menus are not managed, so no
    // window search of the program ever sees it.
    m_menu->setWindowTitle("PumMain");
    connect(m_icon.get(), &NotificationIcon::buttonPressed, this, &TrayController::showMenu);
}

TrayController::~TrayController() = default;

bool TrayController::addIcon(const QIcon& icon)
{
    m_icon->addIcon(icon.isNull() ? programIcon() : icon, QStringLiteral("[Kalmotex]"));
    return NotificationIcon::trayAvailable();
}

void TrayController::deleteIcon() { m_icon->deleteIcon(); }

void TrayController::showMenu()
{
    // The menu is modal; a press that reaches us while it is open (the icon's second
    // click of a double click, say) must not open a second one. While a send runs (in the
    // selection dialog, say) the menu would start a second send.
    if (m_menuOpen || m_transmitter.isSending())
        return;
    m_menuOpen = true;
    rebuildMenu();
    m_menu->setTypeToFilter(store::loadExtraOptions(m_config).typeToFilter);
    m_menu->setItems(m_model.items(), m_model.defaultItemIndex());
    const int chosen = m_menu->exec(QCursor::pos());
    m_menuOpen = false;
    chooseMenuItem(chosen);
}

void TrayController::rebuildMenu() { m_model.rebuild(m_config, m_team); }

void TrayController::chooseMenuItem(int index)
{
    const MenuChoice choice = m_model.choiceFor(index);
    switch (choice.command) {
    case MenuCommand::SendEntry:
        sendEntry(choice.entryNumber, false);
        break;
    case MenuCommand::SendTeamEntry:
        sendEntry(choice.entryNumber, true);
        break;
    case MenuCommand::ShowMainWindow:
        if (m_actions.showMainWindow)
            m_actions.showMainWindow();
        break;
    case MenuCommand::Exit:
        if (m_actions.exitProgram)
            m_actions.exitProgram();
        break;
    case MenuCommand::Nothing:
        break;
    }
}

bool TrayController::requestMenu()
{
    if (m_menuOpen || m_transmitter.isSending())
        return false;
    QTimer::singleShot(0, this, &TrayController::showMenu);
    return true;
}

TrayController::RequestOutcome TrayController::chooseEntry(int number)
{
    if (m_menuOpen || m_transmitter.isSending())
        return RequestOutcome::Busy;
    rebuildMenu();
    for (int index = 1; index <= m_model.itemCount(); ++index) {
        const MenuChoice choice = m_model.choiceFor(index);
        // An entry named "-" is drawn as a separator line, which cannot be clicked.
        if (choice.command != MenuCommand::SendEntry || choice.entryNumber != number
            || isSeparatorCaption(m_model.item(index).caption))
            continue;
        const int typedBefore = m_transmitter.typedSends();
        chooseMenuItem(index);
        return m_transmitter.typedSends() > typedBefore ? RequestOutcome::Typed
                                                        : RequestOutcome::NothingTyped;
    }
    return RequestOutcome::NoSuchEntry;
}

void TrayController::sendEntry(int number, bool fromTeam)
{
    store::EntryStore* team = fromTeam && m_team ? m_team->entries() : nullptr;
    if (fromTeam && !team)
        return;
    m_icon->setBusy(true);
    if (team)
        m_transmitter.sendEntry(*team, number);
    else
        m_transmitter.sendEntry(number);
    m_icon->setBusy(m_transmitter.isSending());
}

} // namespace kx::popup
