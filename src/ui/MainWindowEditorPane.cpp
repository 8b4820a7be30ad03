#include "ui/MainWindow.h"

#include "platform/Prompts.h"
#include "popup/qt/HotkeyController.h"
#include "popup/qt/OneCombinationEdit.h"
#include "store/EntryCommands.h"
#include "store/EntryStore.h"
#include "text/Text.h"
#include "ui/QtText.h"
#include "ui/SnippetEditor.h"
#include "ui/TitleComboBox.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>

#include <algorithm>

// The editor pane: the sending options of the current entry, the title box's history,
// and the edit and search commands.
namespace kx::ui {

namespace {

bool withinWidget(const QWidget* container, const QWidget* widget)
{
    return widget && (widget == container || container->isAncestorOf(widget));
}

} // namespace

void MainWindow::onDestinationTypeClicked(int index)
{
    if (m_entryRefreshing)
        return;
    if (index == 0) {
        m_destinationTextList->setEditText(QString());
        refreshCommandState();
        if (writeEntryField("Title", ""))
            writeEntryField("DosBox", "0");
    } else {
        m_titleModePending = true;
        refreshCommandState();
        m_destinationTextList->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::onDosBoxToggled(bool checked) { writeEntryField("DosBox", checked ? "1" : "0"); }

void MainWindow::addComboHistory(QComboBox* combo)
{
    const std::string trimmed = text::trimSpaces(toStdString(combo->currentText()));
    if (trimmed.empty())
        return;
    if (std::find(m_typedTitles.begin(), m_typedTitles.end(), trimmed) == m_typedTitles.end())
        m_typedTitles.push_back(trimmed);
    const QString text = toQString(trimmed);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text)
            return;
    }
    int lo = 0;
    int hi = combo->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compareForSortedList(combo->itemText(mid), text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    // Inserting must not replace what the user typed.
    const QString typed = combo->currentText();
    combo->insertItem(lo, text);
    combo->setEditText(typed);
}

void MainWindow::onFocusChanged(QWidget* old, QWidget* now)
{
    // While the key field has the focus no combination is held, or pressing one would reach
    // its grab instead of the field; in another program (no focus here) they all work.
    if (m_hotkeys && now == m_hotkeyEdit && old != m_hotkeyEdit)
        m_hotkeys->suspend();
    if (m_hotkeys && old == m_hotkeyEdit && now != m_hotkeyEdit)
        onHotkeyFieldLeft();
    // A control is left when the focus moves to another widget; a popup (the title box's
    // own list, a menu) or a change to another program is no leaving.
    if (!old || !now || (now->window()->windowFlags() & Qt::Popup) == Qt::Popup)
        return;
    if (withinWidget(m_cryptCheckBox, old) && !withinWidget(m_cryptCheckBox, now))
        writeCurrentText();
    if (withinWidget(m_destinationTextList, old) && !withinWidget(m_destinationTextList, now))
        onTitleBoxFocusLost();
}

void MainWindow::setHotkeys(popup::HotkeyController* hotkeys)
{
    m_hotkeys = hotkeys;
    showHotkeyField();
}

void MainWindow::showHotkeyField()
{
    if (!m_built)
        return;
    // Team entries have no hotkeys: their numbers belong to another file.
    const bool shown = m_hotkeys && m_hotkeys->handlesEntries() && !m_showsTeam;
    m_hotkeyLabel->setVisible(shown);
    m_hotkeyEdit->setVisible(shown);
}

void MainWindow::onHotkeyFieldLeft()
{
    // The entry shown, whose combination the field holds.
    if (QListWidgetItem* item = m_entryList->item(m_currEntryListIndex)) {
        const int number = item->data(Qt::UserRole).toInt();
        const std::string stored = m_services.entries.readEntry(number).hotkey;
        const std::string wanted = m_hotkeyEdit->combinationText();
        if (wanted != stored && m_hotkeys->acceptEntryHotkey(number, wanted))
            followEntry(item,
                m_commands->writeField({ number, toStdString(item->text()) }, "Hotkey", wanted));
        else
            m_hotkeyEdit->setCombinationText(stored);
    }
    m_hotkeys->apply(false);
}

void MainWindow::onTitleBoxFocusLost()
{
    m_titleModePending = false;
    addComboHistory(m_destinationTextList);
    refreshCommandState();
    writeEntryField("Title", toStdString(m_destinationTextList->currentText()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto mods = static_cast<QMouseEvent*>(event)->modifiers()
            & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if ((watched == m_commandFrame && mods == (Qt::ControlModifier | Qt::AltModifier))
            || (watched == m_textFrame && mods == (Qt::ShiftModifier | Qt::ControlModifier))) {
            showWindowListMonitor();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::cutText()
{
    copyText();
    m_editor->replaceSelection(QString());
}

void MainWindow::copyText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_editor->selectedEditorText());
}

void MainWindow::pasteText() { m_editor->replaceSelection(QGuiApplication::clipboard()->text()); }

void MainWindow::deleteText() { m_editor->replaceSelection(QString()); }

void MainWindow::searchText()
{
    const auto answer = m_services.prompts.input("Suchen nach:", "Kalmotex", toStdString(m_searchText));
    m_searchText = toQString(answer.value_or(""));
    // Keeps F3 in step at once instead of at the next opening of the menu.
    m_editActions[FindNextAction]->setEnabled(!m_searchText.isEmpty());
    if (!m_searchText.isEmpty())
        findNext();
}

void MainWindow::findNext()
{
    if (m_searchText.isEmpty())
        return;
    const QString text = m_editor->editorText();
    const int from = m_editor->selStart() + m_editor->selLength();
    const qsizetype hit = text.indexOf(m_searchText, from, Qt::CaseInsensitive);
    if (hit < 0) {
        m_services.prompts.message("Die Suche ist am Ende des Textes angekommen.",
            platform::PromptIcon::Information,
            platform::PromptButtons::Ok,
            platform::PromptAnswer::Ok);
        return;
    }
    m_editor->setSelection(static_cast<int>(hit), static_cast<int>(m_searchText.size()));
    m_editor->setFocus(Qt::OtherFocusReason);
}

} // namespace kx::ui
