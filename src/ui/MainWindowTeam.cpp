#include "ui/MainWindow.h"

#include "popup/PopupMenu.h"
#include "store/EntryCommands.h"
#include "store/EntryStore.h"
#include "store/TeamLibrary.h"
#include "ui/CaptionButton.h"
#include "ui/QtText.h"
#include "ui/SnippetEditor.h"
#include "ui/TitleComboBox.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabBar>

// The "Eigene" / "Team" tabs: the same list, editor and commands work on the team file,
// unless it cannot be written.
namespace kx::ui {

QTabBar* MainWindow::buildLibraryTabs(QWidget* parent)
{
    m_libraryTabs = new QTabBar(parent);
    m_libraryTabs->setObjectName(QStringLiteral("LibraryTabs"));
    m_libraryTabs->addTab(QStringLiteral("Eigene"));
    m_libraryTabs->addTab(QStringLiteral("Team"));
    m_libraryTabs->setExpanding(true);
    m_libraryTabs->setDrawBase(false);
    // A click takes the focus, so the editor's text is stored before the list changes.
    m_libraryTabs->setFocusPolicy(Qt::StrongFocus);
    m_libraryTabs->setVisible(false);
    connect(m_libraryTabs, &QTabBar::currentChanged, this, &MainWindow::onLibraryChanged);
    return m_libraryTabs;
}

store::EntryStore& MainWindow::shownEntries()
{
    store::EntryStore* team = m_showsTeam && m_services.team ? m_services.team->entries() : nullptr;
    return team ? *team : m_services.entries;
}

store::EntryCommands& MainWindow::commands()
{
    store::EntryStore& shown = shownEntries();
    if (&shown == &m_services.entries)
        return *m_commands;
    // The team library makes a new store when TeamFile names another file.
    if (m_teamCommandsStore != &shown) {
        m_teamCommands = std::make_unique<store::EntryCommands>(shown, m_services.prompts);
        m_teamCommandsStore = &shown;
    }
    return *m_teamCommands;
}

void MainWindow::refreshTeam()
{
    using State = store::TeamLibrary::State;
    const State state = m_services.team ? m_services.team->refresh(m_services.entries.config()) : State::none;
    m_teamLocked = state != State::readable || !m_services.team->writable();
    m_teamTip = state == State::none ? QString() : toQString(popup::teamTip(*m_services.team));
    m_libraryTabs->setTabToolTip(1, m_teamTip);
    m_libraryTabs->setVisible(state != State::none);
    if (state == State::none)
        m_libraryTabs->setCurrentIndex(0);
}

void MainWindow::onLibraryChanged(int index)
{
    m_showsTeam = index == 1;
    showHotkeyField();
    refreshTeam();
    loadEntryList();
    refreshCommandState();
}

void MainWindow::applyEditingLock()
{
    const bool locked = editingLocked();
    if (locked) {
        for (QWidget* control : std::initializer_list<QWidget*> { m_buttons[NewButton],
                 m_buttons[RenameButton],
                 m_buttons[DeleteButton],
                 m_cryptCheckBox,
                 m_dosBoxCheckBox,
                 m_label1,
                 m_destinationType[0],
                 m_destinationType[1],
                 m_destinationTextList })
            control->setEnabled(false);
        for (QAction* action : { m_entryActions[RenameEntryAction],
                 m_entryActions[DeleteEntryAction],
                 m_editActions[CutAction],
                 m_editActions[PasteAction],
                 m_editActions[DeleteAction] })
            action->setEnabled(false);
    }
    m_buttons[NewButton]->setEnabled(!locked);
    m_entryActions[NewEntryAction]->setEnabled(!locked);
    m_editor->setReadOnly(locked);
    const QString tip = locked ? m_teamTip : QString();
    m_listFrame->setToolTip(tip);
    m_textFrame->setToolTip(tip);
}

} // namespace kx::ui
