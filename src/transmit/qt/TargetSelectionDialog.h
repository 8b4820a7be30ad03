#pragma once

#include "transmit/WindowChooser.h"

#include <QDialog>

#include <optional>
#include <vector>

class QListWidget;
class QPushButton;

namespace kx::transmit {

// The selection dialog: lists the windows whose titles matched, sorted without regard to
// case, and remembers the one the user confirms. Each list item carries its window handle
// (Qt::UserRole, as qulonglong). Stays above all other windows while open.
class TargetSelectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TargetSelectionDialog(QWidget* parent = nullptr);

    // Fills the list (the first item of the sorted list selected) and sets the caption.
    // Equal titles keep the order found.
    void setCandidates(const std::vector<WindowCandidate>& candidates);

    // Takes the selected window as the choice and closes the dialog.
    void acceptSelection();
    // The window confirmed with OK or a double click; nothing before that or after cancel.
    std::optional<platform::WindowHandle> chosenWindow() const { return m_chosen; }

private:
    void onButtonClicked(int index);

    QListWidget* m_list = nullptr;
    std::optional<platform::WindowHandle> m_chosen;
};

// The chooser of the send pipeline: a fresh modal TargetSelectionDialog per choice.
class DialogWindowChooser : public WindowChooser
{
public:
    explicit DialogWindowChooser(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }

    std::optional<platform::WindowHandle> choose(const std::vector<WindowCandidate>& candidates) override;

private:
    QWidget* m_parent;
};

} // namespace kx::transmit
