#pragma once

#include "text/NameFilter.h"
#include "transmit/WindowChooser.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kx::transmit {

// The selection dialog: lists the windows whose titles matched, sorted without regard to
// case, and remembers the one the user confirms. Each list item carries its window handle
// (Qt::UserRole, as qulonglong). Stays above all other windows while open. With type to
// filter on, typing narrows the list to the titles containing the typed text (compared like
// the sorting) and selects the first of them.
class TargetSelectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TargetSelectionDialog(QWidget* parent = nullptr);

    // Fills the list (the first item of the sorted list selected) and sets the caption.
    // Equal titles keep the order found.
    void setCandidates(const std::vector<WindowCandidate>& candidates);

    // Whether keys typed in the list filter it (off: the list's own keyboard search).
    void setTypeToFilter(bool on) { m_typeToFilter = on; }
    // The typed text, shown as "Filter: ..." below the list while it is not empty; the
    // titles not containing it are hidden, "(keine Treffer)" stands in for none.
    QString filterText() const { return m_filterText; }
    void setFilterText(const QString& text);

    // Takes the selected window as the choice and closes the dialog; nothing while a
    // filter matches no title.
    void acceptSelection();
    // The window confirmed with OK or a double click; nothing before that or after cancel.
    std::optional<platform::WindowHandle> chosenWindow() const { return m_chosen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onButtonClicked(int index);

    QListWidget* m_list = nullptr;
    QLabel* m_filterLine = nullptr;
    QListWidgetItem* m_noMatches = nullptr; // only while a filter matches nothing
    QRect m_listGeometry;
    std::optional<platform::WindowHandle> m_chosen;
    bool m_typeToFilter = false;
    QString m_filterText;
    text::NameFilter m_filter; // over the titles in list order
};

// The chooser of the send pipeline: a fresh modal TargetSelectionDialog per choice.
class DialogWindowChooser : public WindowChooser
{
public:
    // `typeToFilter` is asked at each opening (the option is read when used); none = off.
    explicit DialogWindowChooser(QWidget* parent = nullptr, std::function<bool()> typeToFilter = {})
        : m_parent(parent)
        , m_typeToFilter(std::move(typeToFilter))
    {
    }

    std::optional<platform::WindowHandle> choose(const std::vector<WindowCandidate>& candidates) override;

private:
    QWidget* m_parent;
    std::function<bool()> m_typeToFilter;
};

} // namespace kx::transmit
