// The instance channel over a unix socket, watched by the event loop; Qt's local server
// would bring Qt Network and its libraries (about 1.7 MiB of every run) for this alone.
#include "app/qt/InstanceServer.h"

#include "backends/posix/UnixSocketClient.h"
#include "backends/posix/UnixSocketServer.h"

#include <QSocketNotifier>

#include <memory>

namespace kx::app {

namespace posix = platform::posix;

namespace {

// The listening socket, a child of the server; the notifier goes before the socket closes.
struct ListeningSocket : QObject
{
    using QObject::QObject;
    posix::UnixSocketServer socket;
    std::unique_ptr<QSocketNotifier> waiting;
};

} // namespace

bool InstanceServer::listen(const std::string& path)
{
    auto* listening = new ListeningSocket(this);
    m_error = QString::fromStdString(listening->socket.listen(path));
    if (!m_error.isEmpty()) {
        delete listening;
        return false;
    }
    listening->waiting
        = std::make_unique<QSocketNotifier>(listening->socket.descriptor(), QSocketNotifier::Read);
    connect(listening->waiting.get(), &QSocketNotifier::activated, this, [this, listening] {
        for (int connection; (connection = listening->socket.acceptConnection()) >= 0;) {
            auto* readable = new QSocketNotifier(connection, QSocketNotifier::Read, this);
            auto line = std::make_shared<std::string>();
            const auto read = [this, readable, connection, line] {
                const posix::RequestRead state
                    = posix::readRequest(connection, *line, kMaxInstanceLineLength);
                if (state == posix::RequestRead::Pending)
                    return;
                // One request per connection. A send may run an event loop of its own (the
                // selection dialog), where this must not be read again.
                readable->setEnabled(false);
                readable->deleteLater();
                if (state == posix::RequestRead::Ended) {
                    posix::closeConnection(connection);
                    return;
                }
                const InstanceAnswer answer
                    = line->ends_with('\n') ? handle(*line) : InstanceAnswer::BadRequest;
                posix::answerAndClose(connection, formatInstanceAnswer(answer));
            };
            connect(readable, &QSocketNotifier::activated, this, read);
            read(); // the request may have arrived with the connection
        }
    });
    return true;
}

RunningInstance showRunningInstance(const std::string& path, int timeoutMs)
{
    posix::UnixSocketClient client(kMaxInstanceLineLength, timeoutMs);
    const platform::InstanceReply reply
        = client.exchange(path, formatInstanceRequest({ InstanceCommand::Show, 0 }));
    if (reply.status == platform::InstanceReply::Status::NotRunning)
        return RunningInstance::None;
    return reply.status == platform::InstanceReply::Status::Answered
            && parseInstanceAnswer(reply.line) == InstanceAnswer::Ok
        ? RunningInstance::Shown
        : RunningInstance::NotAnswering;
}

} // namespace kx::app
