#include "ui/MainWindow.h"

#include "popup/qt/OneCombinationEdit.h"
#include "store/EntryStore.h"
#include "text/Text.h"
#include "ui/EditorText.h"
#include "ui/QtText.h"
#include "ui/SnippetEditor.h"
#include "ui/TitleComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

// The entry list: filled from the configuration, sorted like a sorted list box, and the
// current entry shown in the editor pane.
namespace kx::ui {

namespace {

// An item of the entry list: its entry number (Qt::UserRole) in a plain member. Qt keeps
// item data in a list of role-value pairs, about 100 bytes per item, a few MiB for the
// largest configurations.
class EntryItem : public QListWidgetItem
{
public:
    EntryItem(const QString& name, int number)
        : QListWidgetItem(name, nullptr, QListWidgetItem::UserType)
        , m_number(number)
    {
    }

    QVariant data(int role) const override
    {
        return role == Qt::UserRole ? QVariant(m_number) : QListWidgetItem::data(role);
    }

    void setData(int role, const QVariant& value) override
    {
        if (role == Qt::UserRole)
            m_number = value.toInt();
        else
            QListWidgetItem::setData(role, value);
    }

private:
    int m_number;
};

} // namespace

int MainWindow::insertSortedEntry(const QString& name, int number)
{
    // After equal names, as a sorted list box adds them.
    int lo = 0;
    int hi = m_entryList->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compareForSortedList(m_entryList->item(mid)->text(), name) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    auto* item = new EntryItem(name, number);
    const QSignalBlocker block(m_entryList);
    m_entryList->insertItem(lo, item);
    return lo;
}

void MainWindow::loadEntryList()
{
    ensureBuilt();
    const std::vector<store::EntryListItem> entries = shownEntries().enumerateEntries();
    std::vector<std::string_view> names;
    std::vector<std::string_view> titles;
    names.reserve(entries.size());
    for (const auto& entry : entries) {
        names.push_back(entry.name);
        if (!entry.title.empty())
            titles.push_back(entry.title);
    }
    for (const std::string& title : m_typedTitles) {
        if (std::find(titles.begin(), titles.end(), title) == titles.end())
            titles.push_back(title);
    }

    const QSignalBlocker block(m_entryList);
    m_entryList->clear();
    for (const std::size_t i : text::sortedListOrder(names)) {
        m_entryList->addItem(new EntryItem(toQString(entries[i].name), entries[i].number));
    }
    m_entryList->setCurrentRow(-1);
    m_currEntryListIndex = -1;

    const QString typed = m_destinationTextList->currentText();
    QStringList titleItems;
    titleItems.reserve(static_cast<qsizetype>(titles.size()));
    for (const std::size_t i : text::sortedListOrder(titles))
        titleItems.append(toQString(titles[i]));
    m_destinationTextList->clear();
    m_destinationTextList->addItems(titleItems);
    m_destinationTextList->setEditText(typed);
}

std::vector<std::string> MainWindow::listNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(m_entryList->count()));
    for (int i = 0; i < m_entryList->count(); ++i)
        names.push_back(toStdString(m_entryList->item(i)->text()));
    return names;
}

std::vector<int> MainWindow::listNumbers() const
{
    std::vector<int> numbers;
    numbers.reserve(static_cast<std::size_t>(m_entryList->count()));
    for (int i = 0; i < m_entryList->count(); ++i)
        numbers.push_back(m_entryList->item(i)->data(Qt::UserRole).toInt());
    return numbers;
}

void MainWindow::selectListRow(int row)
{
    // Like setting a list box's index, this always raises the click reaction.
    if (m_entryList->currentRow() == row) {
        onEntryListRowChanged(row);
        return;
    }
    m_entryList->setCurrentRow(row);
}

void MainWindow::onEntryListRowChanged(int row)
{
    if (row < 0)
        return;
    m_currEntryListIndex = row;
    showCurrentEntry();
}

void MainWindow::showCurrentEntry()
{
    ensureBuilt();
    QListWidgetItem* item = m_entryList->currentItem();
    if (!item)
        return;
    // Another program may have moved the entry since the list was read; when it is gone,
    // the number's entry is shown, and writes to it are refused.
    const int listed = item->data(Qt::UserRole).toInt();
    const int number = shownEntries().locateEntry({ listed, toStdString(item->text()) });
    if (number != 0)
        item->setData(Qt::UserRole, number);
    const store::Entry entry = shownEntries().readEntry(number != 0 ? number : listed);
    m_editor->showTextInEditor(toQString(storedTextToEditor(entry.text)));
    m_destinationTextList->setEditText(toQString(text::trimSpaces(entry.title)));
    m_cryptCheckBox->setChecked(entry.crypt);
    m_dosBoxCheckBox->setChecked(entry.dosBox);
    m_hotkeyEdit->setCombinationText(entry.hotkey);
    m_entryRefreshing = true;
    refreshCommandState();
    m_entryRefreshing = false;
}

void MainWindow::setBackColour(QWidget* widget, bool windowBackground)
{
    QPalette palette = widget->palette();
    const QPalette standard = QApplication::palette(widget);
    palette.setBrush(QPalette::Base,
        windowBackground ? standard.brush(QPalette::Base) : standard.brush(QPalette::Window));
    widget->setPalette(palette);
}

} // namespace kx::ui
