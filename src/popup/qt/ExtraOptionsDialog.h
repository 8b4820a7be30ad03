#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QPushButton;

namespace kx::config {
class ConfigAccess;
}

namespace kx::popup {

class OneCombinationEdit;

// "[Kalmotex] - Weitere Optionen": the switches of the features the classic program did
// not have: the hotkey that opens the popup menu, one running program, typing to filter,
// the focus guard. Each opening shows the options as the configuration file holds them;
// "&OK" writes them, "&Abbrechen" and the close box write nothing.
class ExtraOptionsDialog : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        config::ConfigAccess& config;
        std::function<void()> opening; // before the dialog shows (the hotkey lets go)
        std::function<void(bool saved)> closed; // after it has closed, saved or not
        // Whether the menu may open with a newly chosen combination (in its stored form,
        // "Ctrl+Alt+1"); tells the user why not. "&OK" then keeps the dialog open, the field
        // showing the stored combination again. Empty: any is fine.
        std::function<bool(const std::string& hotkey)> acceptHotkey = {};
    };

    explicit ExtraOptionsDialog(Services services, QWidget* parent = nullptr);

    // Reads the options and shows the dialog modally; returns at once.
    void openDialog();

    void done(int result) override;

private:
    void save();

    Services m_services;
    OneCombinationEdit* m_hotkey = nullptr;
    QPushButton* m_clearHotkey = nullptr;
    QPushButton* m_ok = nullptr;
    QCheckBox* m_singleInstance = nullptr;
    QCheckBox* m_typeToFilter = nullptr;
    QCheckBox* m_focusGuard = nullptr;
};

} // namespace kx::popup
