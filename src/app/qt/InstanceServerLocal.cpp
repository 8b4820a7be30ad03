// The instance channel over Qt's local server: a named pipe on Windows.
#include "app/qt/InstanceServer.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

namespace kx::app {

namespace {

QByteArray bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// One request per connection, answered on the GUI thread.
void readRequest(InstanceServer& server, QLocalSocket* socket)
{
    std::string line;
    if (socket->canReadLine()) {
        line = socket->readLine(static_cast<qint64>(kMaxInstanceLineLength) + 1).toStdString();
    } else if (socket->bytesAvailable() < static_cast<qint64>(kMaxInstanceLineLength)) {
        return; // the rest of the line is still on its way
    }
    // One request per connection: nothing more is read from it.
    QObject::disconnect(socket, &QLocalSocket::readyRead, &server, nullptr);
    // A send runs the selection dialog or the no-target message in an event loop of its own,
    // where the client may go away and its socket be deleted.
    const QPointer<QLocalSocket> guard(socket);
    const InstanceAnswer answer = line.ends_with('\n') ? server.handle(line) : InstanceAnswer::BadRequest;
    if (!guard || guard->state() != QLocalSocket::ConnectedState)
        return;
    guard->write(bytes(formatInstanceAnswer(answer)));
    guard->flush();
    guard->disconnectFromServer();
}

} // namespace

bool InstanceServer::listen(const std::string& path)
{
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(*this, socket); });
            // The request may have arrived with the connection.
            readRequest(*this, socket);
        }
    });
    const QString name = QString::fromStdString(path);
    QLocalServer::removeServer(name);
    if (server->listen(name))
        return true;
    m_error = server->errorString();
    delete server;
    return false;
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
