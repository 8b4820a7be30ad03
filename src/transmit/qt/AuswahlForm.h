#pragma once

#include "transmit/WindowChooser.h"

#include <QDialog>

#include <functional>
#include <vector>

class QListWidget;
class QPushButton;

namespace kx::transmit {

// The selection dialog: lists the windows whose titles matched, sorted without regard to
// case, and sends to the one the user confirms. Each list item carries its window handle
// (Qt::UserRole, as qulonglong). Stays above all other windows while open.
class AuswahlForm : public QDialog
{
    Q_OBJECT

public:
    explicit AuswahlForm(QWidget* parent = nullptr);

    // Fills the list (the first item of the sorted list selected), sets the caption and
    // remembers where a confirmed choice goes. Equal titles keep the order found.
    void setCandidates(const std::vector<WindowCandidate>& candidates,
        std::function<void(platform::WindowHandle)> sendTo);

    // Sends to the selected window while the dialog is still open, then closes it.
    void selectionOK();

private:
    void btnClick(int index);

    QListWidget* m_list = nullptr;
    std::function<void(platform::WindowHandle)> m_sendTo;
};

// The chooser of the send pipeline: a fresh modal AuswahlForm per choice.
class AuswahlChooser : public WindowChooser
{
public:
    explicit AuswahlChooser(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }

    void choose(const std::vector<WindowCandidate>& candidates,
        const std::function<void(platform::WindowHandle)>& sendTo) override;

private:
    QWidget* m_parent;
};

} // namespace kx::transmit
