#pragma once

#include "store/Options.h"

#include <QWidget>

#include <functional>

namespace kx::popup {

// The thin strip along one edge of the screen that opens the popup menu of entries when
// the pointer touches it or, as the options say, when it is clicked. It never takes the
// keyboard focus and stays out of the task bar and the window switcher, so the window the
// user was working in stays the target of a send. Its title is the main window's, which
// makes the last-used-window search skip it as one of the program's own.
class BorderStrip : public QWidget
{
    Q_OBJECT

public:
    // `options` are the program's in-memory options; they are read at every event, so a
    // change of the click mode applies to a visible strip at once. `openMenu` opens the
    // popup menu and returns when it has closed. Both must outlive the strip.
    BorderStrip(const store::BorderStripOptions& options, std::function<void()> openMenu);
    ~BorderStrip() override;

    // Places, shows or hides the strip from the options: one pixel thick along the whole
    // chosen edge of the primary screen, above other windows; hidden when it is off.
    void place();
    // Takes effect at once on a visible strip.
    void setColour(const QColor& colour);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void openMenu();

    const store::BorderStripOptions& m_options;
    std::function<void()> m_openMenu;
    bool m_menuOpen = false;
};

} // namespace kx::popup
