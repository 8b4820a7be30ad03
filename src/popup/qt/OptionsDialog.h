#pragma once

#include "store/Options.h"

#include <QColor>
#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kx::config {
class ConfigAccess;
}

namespace kx::popup {

class AutostartSwitch;

// The options dialog: whether and how the screen-border strip opens the popup menu, the
// strip's edge and colour, whether the menu is sorted, and whether the program starts with
// the system. Option buttons change the in-memory options at once; "&OK" writes them to the
// configuration file and places the strip; the autostart box acts at once.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        config::ConfigAccess& config;
        std::string configFile;
        AutostartSwitch& autostart;
        store::BorderStripOptions& options; // the in-memory options the buttons change
        std::function<void()> placeStrip; // after "&OK"
        std::function<void(std::int32_t)> applyColour; // the strip's and the sample's colour
        // The platform's colour dialog, starting with `initial`; nothing when cancelled.
        std::function<std::optional<QColor>(const QColor& initial)> chooseColour;
    };

    explicit OptionsDialog(Services services, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // Sets the dialog up as when it is created: caption, sort box from the file, autostart
    // box from the autostart store, and the option buttons from the in-memory options.
    void setUp();
    // Shows the colour on the edge buttons and the sample.
    void showColour(const QColor& colour);
    // Modal for the menu command, modeless for the button.
    void open(bool modal);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Services m_services;
    bool m_setUpDue = true;
};

} // namespace kx::popup
