#include "ui/MainWindow.h"

#include "popup/qt/HotkeyController.h"
#include "store/EntryCommands.h"
#include "store/EntryStore.h"
#include "ui/CaptionButton.h"
#include "ui/EditorText.h"
#include "ui/QtText.h"
#include "ui/SnippetEditor.h"
#include "ui/TitleComboBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

// Which commands are available, and the commands on entries: new, rename, delete, and
// writing the current entry's fields.
namespace kx::ui {

void MainWindow::refreshCommandState()
{
    ensureBuilt();
    const bool hasEntries = m_entryList->count() > 0;
    // The controls that need a current entry.
    for (QWidget* control : std::initializer_list<QWidget*> { m_destinationType[0],
             m_destinationType[1],
             m_label1,
             m_entryList,
             m_buttons[DeleteButton],
             m_buttons[RenameButton],
             m_editor,
             m_cryptCheckBox,
             m_dosBoxCheckBox })
        control->setEnabled(hasEntries);
    m_entryActions[RenameEntryAction]->setEnabled(hasEntries);
    m_entryActions[DeleteEntryAction]->setEnabled(hasEntries);
    setBackColour(m_entryList, hasEntries);
    setBackColour(m_editor, hasEntries);

    if (hasEntries) {
        const bool selection = m_editor->textCursor().hasSelection();
        m_editActions[CutAction]->setEnabled(selection);
        m_editActions[CopyAction]->setEnabled(selection);
        m_editActions[DeleteAction]->setEnabled(selection);
        m_editActions[PasteAction]->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
        m_editActions[FindAction]->setEnabled(true);
        m_editActions[FindNextAction]->setEnabled(!m_searchText.isEmpty());
        if (m_entryList->currentRow() < 0)
            selectListRow(0);
        const int option = !m_destinationTextList->currentText().isEmpty() || m_titleModePending ? 1 : 0;
        if (!m_destinationType[option]->isChecked()) {
            m_destinationType[option]->setChecked(true);
            onDestinationTypeClicked(option);
        }
    } else {
        for (EditAction i : { CutAction, CopyAction, PasteAction, DeleteAction, FindAction, FindNextAction })
            m_editActions[i]->setEnabled(false);
        m_editor->clear();
    }
    const bool titleBox = m_destinationType[1]->isEnabled() && m_destinationType[1]->isChecked();
    m_destinationTextList->setEnabled(titleBox);
    setBackColour(m_destinationTextList, titleBox);
    applyEditingLock();
}

namespace {

store::ShownEntry shownEntry(const QListWidgetItem* item)
{
    return { item->data(Qt::UserRole).toInt(), toStdString(item->text()) };
}

} // namespace

bool MainWindow::followEntry(QListWidgetItem* item, int number)
{
    if (number == 0) {
        loadEntryList();
        refreshCommandState();
        return false;
    }
    item->setData(Qt::UserRole, number);
    return true;
}

bool MainWindow::writeEntryField(const std::string& section, const std::string& value)
{
    if (editingLocked())
        return true;
    if (m_entryList->count() == 0 || m_currEntryListIndex < 0 || m_currEntryListIndex >= m_entryList->count())
        return true;
    QListWidgetItem* item = m_entryList->item(m_currEntryListIndex);
    return followEntry(item, commands().writeField(shownEntry(item), section, value));
}

void MainWindow::writeCurrentText()
{
    if (m_unloaded || editingLocked())
        return;
    if (m_entryList->count() == 0 || m_currEntryListIndex < 0 || m_currEntryListIndex >= m_entryList->count())
        return;
    const std::string stored = editorTextToStored(toStdString(m_editor->editorText()));
    QListWidgetItem* item = m_entryList->item(m_currEntryListIndex);
    followEntry(item, commands().writeText(shownEntry(item), stored, m_cryptCheckBox->isChecked()));
}

void MainWindow::newEntry()
{
    const auto created = commands().createEntry(listNames());
    if (!created)
        return;
    const int row = insertSortedEntry(toQString(created->name), created->number);
    selectListRow(row);
    refreshCommandState();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void MainWindow::renameEntry()
{
    const int position = m_entryList->currentRow();
    if (position < 0)
        return;
    const int number = m_entryList->item(position)->data(Qt::UserRole).toInt();
    const auto renamed = commands().renameEntry(listNames(), static_cast<std::size_t>(position), number);
    if (!renamed || !followEntry(m_entryList->item(position), renamed->number))
        return;
    {
        const QSignalBlocker block(m_entryList);
        delete m_entryList->takeItem(position);
        m_entryList->setCurrentRow(-1);
    }
    selectListRow(insertSortedEntry(toQString(renamed->name), renamed->number));
}

void MainWindow::deleteEntry()
{
    const int position = m_entryList->currentRow();
    if (position < 0)
        return;
    if (!commands().deleteEntry(listNames(), listNumbers(), static_cast<std::size_t>(position)))
        return;
    // The file's highest entry moved, which need not be the list's when another program
    // added entries meanwhile: the list is read again.
    loadEntryList();
    refreshCommandState();
    // The hotkeys of the entries that moved follow them.
    if (m_hotkeys)
        m_hotkeys->apply(false);
}

} // namespace kx::ui
