#pragma once

#include "platform/EdgeStrip.h"
#include "popup/AutostartSwitch.h"
#include "store/Options.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kx::config {
class ConfigAccess;
}
namespace kx::platform {
class AutostartStore;
class Prompts;
} // namespace kx::platform

namespace kx::popup {

class BorderStrip;
class OptionsDialog;

// The options of how the popup menu opens and whether the program starts with the system:
// their in-memory values, the screen-border strip they place, the options dialog that
// edits them and the autostart switch. Everything runs on the GUI thread.
class OptionsController
{
public:
    struct Borrowed
    {
        config::ConfigAccess& config;
        platform::AutostartStore& autostartStore;
        platform::Prompts& prompts;
        std::string executablePath; // started by the autostart entry
        std::function<void()> openMenu; // opens the popup menu; returns when it has closed
        QWidget* dialogParent = nullptr;
        // The platform's colour dialog; nothing when cancelled. Empty: QColorDialog.
        std::function<std::optional<QColor>(const QColor& initial)> chooseColour = {};
        // Gets the strip's native window before each showing (see BorderStrip).
        std::function<void(WId)> prepareStrip = {};
        // False where the desktop cannot keep a window along a screen edge (Wayland without
        // a layer shell, where Qt would make the strip an ordinary window): it stays hidden.
        bool stripPossible = true;
        // The desktop's own strip, drawn instead of Qt's window (see BorderStrip).
        platform::EdgeStrip* nativeStrip = nullptr;
    };

    explicit OptionsController(Borrowed borrowed);
    ~OptionsController();

    // Start-up, first step: removes the autostart entry the program never writes.
    void removeStaleAutostartEntry();
    // Start-up: reads the options from the configuration file and sets the dialog up.
    void loadOptions();
    // Places, shows or hides the border strip from the in-memory options (hidden where it is
    // not possible).
    void placeBorderStrip();
    // "&Optionen..." (modal) and the button "&Optionen" (modeless).
    void showOptionsDialog(bool modal);
    // The colour of the strip, the dialog's edge buttons and its sample, at once.
    void setBorderColour(std::int32_t value);
    // Shutdown: the options dialog, then the strip.
    void closeWindows();

    const store::BorderStripOptions& options() const { return m_options; }
    // Built on first use, set up from the options then.
    OptionsDialog& dialog();
    BorderStrip& borderStrip() { return *m_strip; }
    AutostartSwitch& autostart() { return m_autostart; }

private:
    config::ConfigAccess& m_config;
    store::BorderStripOptions m_options;
    AutostartSwitch m_autostart;
    std::unique_ptr<BorderStrip> m_strip;
    bool m_stripPossible;
    QWidget* m_dialogParent;
    std::function<std::optional<QColor>(const QColor& initial)> m_chooseColour;
    std::unique_ptr<OptionsDialog> m_dialog; // none until first used
};

// The Qt colour of a stored border colour; a system colour is taken from the palette (the
// face of buttons for a value that is no colour).
QColor toQColor(std::int32_t value);

} // namespace kx::popup
