#pragma once

#include "store/Options.h"

#include <QColor>
#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kx::config {
class ConfigAccess;
}

namespace kx::popup {

class AutostartSwitch;
class DesignLayout;
class EdgeButton;
class MonitorPicture;
class RingMark;

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
    // box from the autostart store, then the option buttons from the in-memory options
    // (click mode, strip on or off with the controls that belong to it, edge).
    void setUp();
    // Shows the colour on the edge buttons and the sample.
    void showColour(const QColor& colour);
    // Modal for the menu command, modeless for the button.
    void open(bool modal);

    // How much the design had to be stretched so every caption fits (1 = not at all).
    QSizeF designStretch() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void layOut();
    void setStripShown(int shown);
    void setClickMode(int byClick);
    void setEdge(int edge);
    void showStripControls(bool show);
    void chooseColour();
    void confirm();

    Services m_services;
    bool m_setUpDue = true;
    // The colour dialog starts with the colour last chosen in it during this run; before
    // the first choice with black.
    QColor m_lastChosenColour { 0, 0, 0 };

    std::unique_ptr<DesignLayout> m_layout;
    QCheckBox* m_autostartBox = nullptr;
    QCheckBox* m_sortBox = nullptr;
    std::array<QRadioButton*, 2> m_stripShown {};
    std::array<QRadioButton*, 2> m_clickMode {};
    std::array<EdgeButton*, 4> m_edges {};
    QButtonGroup* m_stripShownGroup = nullptr;
    QButtonGroup* m_clickModeGroup = nullptr;
    QButtonGroup* m_edgeGroup = nullptr;
    MonitorPicture* m_picture = nullptr;
    RingMark* m_ring = nullptr;
    QPushButton* m_colourButton = nullptr;
    QFrame* m_colourSample = nullptr;
};

} // namespace kx::popup
