#pragma once

#include "platform/WindowInventory.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QListWidget;

namespace kx::platform {
class Clipboard;
}
namespace kx::transmit {
class Clock;
}

namespace kx::diag {

// The window-list monitor of debug mode: every second it lists the windows from the main
// window up to the top of the stack, with handle, visibility and title ("visible only"
// leaves hidden ones out). The first list appears at the first tick after opening; turning
// to the monitor refreshes it at once, since that changes the order on Wayland (the
// activation order stands in for the stack there).
// Closing it ("Exit" or the close box) stops the refresh and forgets its state.
class WindowListMonitor : public QWidget
{
    Q_OBJECT

public:
    // The borrowed objects must outlive the monitor; `mainWindow` is asked at every refresh.
    WindowListMonitor(platform::WindowInventory& windows,
        const transmit::Clock& clock,
        std::function<platform::WindowHandle()> mainWindow,
        platform::Clipboard& clipboard,
        QWidget* parent = nullptr);

    // Shows the window and starts the refresh when it was closed.
    void open();
    // Rebuilds the list now.
    void fillList();

    QListWidget* windowList() const { return m_list; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    platform::WindowInventory& m_windows;
    const transmit::Clock& m_clock;
    std::function<platform::WindowHandle()> m_mainWindow;
    QListWidget* m_list = nullptr;
    QCheckBox* m_visibleOnly = nullptr;
    QTimer m_timer;
};

} // namespace kx::diag
