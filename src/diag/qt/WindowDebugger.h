#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace kx::platform {
class Clipboard;
class Prompts;
} // namespace kx::platform
namespace kx::store {
class IgnoredTitles;
}
namespace kx::transmit {
class SendLog;
class WindowDebugLines;
} // namespace kx::transmit

namespace kx::diag {

class TextEditorLauncher;

// What the debugger works with; borrowed, must outlive it.
struct WindowDebuggerServices
{
    transmit::WindowDebugLines& lines; // written by every last-used-window search
    store::IgnoredTitles& ignoredTitles;
    platform::Prompts& prompts;
    TextEditorLauncher& editor;
    platform::Clipboard& clipboard;
    std::string configFilePath;
    transmit::SendLog& sendLog; // the last sends, shown beside the buttons
};

// The window debugger: a modeless window listing what the last last-used-window search
// walked (a header line, then the qualifying titles, the chosen one last), following each
// new search while it exists. Its buttons put the marked title on the ignore list, open
// the configuration file in a text editor, and close it. Closing discards the list until
// the next search. Beside them, the last sends (time, entry, window, characters, outcome),
// newest first, following each new send, and how the window of the newest one was activated.
class WindowDebugger : public QWidget
{
    Q_OBJECT

public:
    explicit WindowDebugger(WindowDebuggerServices services, QWidget* parent = nullptr);
    ~WindowDebugger() override;

    // Shows the window, centred on the screen when it was closed, and brings it forward.
    void open();

    QListWidget* titleList() const { return m_list; }
    QTreeWidget* sendLogList() const { return m_sendLog; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showLines();
    void showSendLog();
    void ignoreMarkedTitle();
    void editConfigFile();

    WindowDebuggerServices m_services;
    QListWidget* m_list = nullptr;
    QTreeWidget* m_sendLog = nullptr;
    QLabel* m_activation = nullptr;
};

} // namespace kx::diag
