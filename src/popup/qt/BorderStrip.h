#pragma once

#include "platform/EdgeStrip.h"
#include "store/Options.h"

#include <QWidget>

#include <functional>
#include <optional>

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
    // `beforeShow`, when given, gets the native window before each showing, to tell the
    // window system what Qt cannot (such as staying out of the task bar). `native`, when
    // given, is drawn and touched instead of this widget (where Qt cannot keep a window
    // along an edge); it must outlive the strip.
    BorderStrip(const store::BorderStripOptions& options,
        std::function<void()> openMenu,
        std::function<void(WId)> beforeShow = {},
        platform::EdgeStrip* native = nullptr);
    ~BorderStrip() override;

    // Places, shows or hides the strip from the options: one pixel thick along the whole
    // chosen edge of the primary screen as it is now, above other windows; hidden when it is
    // off. A later change of the screens leaves the strip where it is until the next call.
    void place();
    // Shutdown: hides the strip for good.
    void retire();
    // Takes effect at once on a visible strip.
    void setColour(const QColor& colour);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Opens the menu for the pointer at `at` (global), unless it has not moved since the
    // last menu closed there.
    void openMenuAt(const QPoint& at);
    // Shows the strip at the edge last chosen by place(), on the primary screen as it is now.
    void applyPlacement();
    // The native strip was entered or clicked: opens the menu as the options say.
    void nativeTouched(bool clicked);

    const store::BorderStripOptions& m_options;
    std::function<void()> m_openMenu;
    std::function<void(WId)> m_beforeShow;
    platform::EdgeStrip* m_native;
    bool m_menuOpen = false;
    // Where the pointer was when the menu last closed: Qt announces the strip under the
    // pointer anew then, but only a real move of the pointer opens the menu again.
    std::optional<QPoint> m_closedAt;
    std::optional<int> m_edge; // where place() put the strip; nothing while it is off
};

} // namespace kx::popup
