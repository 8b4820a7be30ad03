#pragma once

#include "app/InstanceChannel.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>

namespace kx::popup {
class TrayController;
}

namespace kx::app {

// The running program's end of the instance channel (config/InstanceChannel.h): answers
// "show" from a second start, "send N" and "menu" from kalmotex-cli, one request per connection,
// on the GUI thread. A send is the tray menu's own choice of the entry, refusals included.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    InstanceServer(
        popup::TrayController& tray, std::function<void()> showMainWindow, QObject* parent = nullptr);

    // Listens at `path`, readable by this user only. A socket file there is removed first:
    // the caller has found that nobody answers at it (left by a program that crashed).
    // False when the system refuses; errorString() says why.
    bool listen(const std::string& path);
    QString errorString() const { return m_error; }

    // What a request line asks for, carried out; the answer to write back.
    InstanceAnswer handle(const std::string& requestLine);

private:
    // listen() and showRunningInstance() use the system's local sockets: a unix socket, or
    // Qt's local server (a named pipe on Windows); each has its own source file, and what
    // listens is a child of this object.
    popup::TrayController& m_tray;
    std::function<void()> m_showMainWindow;
    QString m_error;
};

// What a second start finds at `path`.
enum class RunningInstance
{
    None, // nobody listens there: this start becomes the program
    Shown, // a program runs and has shown its main window
    NotAnswering, // a program accepted the connection but gave no proper answer in time
};

// Asks the program listening at `path` to show its main window, waiting at most
// `timeoutMs` for each step.
RunningInstance showRunningInstance(const std::string& path, int timeoutMs);

} // namespace kx::app
