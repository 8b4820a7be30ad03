#include "app/qt/InstanceServer.h"

#include "popup/qt/TrayController.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace kx::app {

namespace {

InstanceAnswer answerFor(popup::TrayController::RequestOutcome outcome)
{
    using Outcome = popup::TrayController::RequestOutcome;
    switch (outcome) {
    case Outcome::Typed:
        return InstanceAnswer::Ok;
    case Outcome::NothingTyped:
        return InstanceAnswer::NotTyped;
    case Outcome::NoSuchEntry:
        return InstanceAnswer::NoEntry;
    case Outcome::Busy:
        break;
    }
    return InstanceAnswer::Busy;
}

QByteArray bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

InstanceServer::InstanceServer(
    popup::TrayController& tray, std::function<void()> showMainWindow, QObject* parent)
    : QObject(parent)
    , m_tray(tray)
    , m_showMainWindow(std::move(showMainWindow))
    , m_server(std::make_unique<QLocalServer>())
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const std::string& path)
{
    const QString name = QString::fromStdString(path);
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

QString InstanceServer::errorString() const { return m_server->errorString(); }

InstanceAnswer InstanceServer::handle(const std::string& requestLine)
{
    const std::optional<InstanceRequest> request = parseInstanceRequest(requestLine);
    if (!request)
        return InstanceAnswer::BadRequest;
    if (request->command == InstanceCommand::Show) {
        if (m_showMainWindow)
            m_showMainWindow();
        return InstanceAnswer::Ok;
    }
    if (request->command == InstanceCommand::Menu)
        return m_tray.requestMenu() ? InstanceAnswer::Ok : InstanceAnswer::Busy;
    return answerFor(m_tray.chooseEntry(request->entryNumber));
}

void InstanceServer::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have arrived with the connection.
        readRequest(socket);
    }
}

void InstanceServer::readRequest(QLocalSocket* socket)
{
    std::string line;
    if (socket->canReadLine()) {
        line = socket->readLine(static_cast<qint64>(kMaxInstanceLineLength) + 1).toStdString();
    } else if (socket->bytesAvailable() < static_cast<qint64>(kMaxInstanceLineLength)) {
        return; // the rest of the line is still on its way
    }
    // One request per connection: nothing more is read from it.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    // A send runs the selection dialog or the no-target message in an event loop of its own,
    // where the client may go away and its socket be deleted.
    const QPointer<QLocalSocket> guard(socket);
    const InstanceAnswer answer = line.ends_with('\n') ? handle(line) : InstanceAnswer::BadRequest;
    if (!guard || guard->state() != QLocalSocket::ConnectedState)
        return;
    guard->write(bytes(formatInstanceAnswer(answer)));
    guard->flush();
    guard->disconnectFromServer();
}

RunningInstance showRunningInstance(const std::string& path, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(timeoutMs))
        return socket.error() == QLocalSocket::SocketTimeoutError ? RunningInstance::NotAnswering
                                                                  : RunningInstance::None;
    socket.write(bytes(formatInstanceRequest({ InstanceCommand::Show, 0 })));
    if (!socket.waitForBytesWritten(timeoutMs))
        return RunningInstance::NotAnswering;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return RunningInstance::NotAnswering;
    }
    const std::string answer = socket.readLine(static_cast<qint64>(kMaxInstanceLineLength)).toStdString();
    return parseInstanceAnswer(answer) == InstanceAnswer::Ok ? RunningInstance::Shown
                                                             : RunningInstance::NotAnswering;
}

} // namespace kx::app
