#include "backends/posix/UnixSocketServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace kx::platform::posix {

UnixSocketServer::~UnixSocketServer()
{
    if (m_socket < 0)
        return;
    ::close(m_socket);
    ::unlink(m_path.c_str());
}

std::string UnixSocketServer::listen(const std::string& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "socket path too long";
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return std::strerror(errno);
    ::unlink(path.c_str());
    // Nobody can connect between bind and listen, so the mode is set before anyone can.
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket, SOMAXCONN) != 0) {
        const std::string error = std::strerror(errno);
        ::close(socket);
        return error;
    }
    m_socket = socket;
    m_path = path;
    return {};
}

int UnixSocketServer::acceptConnection()
{
    if (m_socket < 0)
        return -1;
    int connection = -1;
    do {
        connection = ::accept4(m_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    } while (connection < 0 && errno == EINTR);
    return connection;
}

RequestRead readRequest(int connection, std::string& line, std::size_t maxLength)
{
    char buffer[256];
    for (;;) {
        // `line` is shorter than `maxLength` here: at that length the request was complete.
        const ssize_t n = ::recv(connection, buffer, std::min(sizeof buffer, maxLength - line.size()), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return RequestRead::Pending;
        if (n <= 0)
            return RequestRead::Ended;
        line.append(buffer, static_cast<std::size_t>(n));
        if (const std::size_t end = line.find('\n'); end != std::string::npos) {
            line.erase(end + 1); // one request per connection: the rest is not ours to read
            return RequestRead::Complete;
        }
        if (line.size() >= maxLength)
            return RequestRead::Complete;
    }
}

void closeConnection(int connection) { ::close(connection); }

void answerAndClose(int connection, const std::string& answer)
{
    // MSG_NOSIGNAL: a client that has gone away must not end the program with SIGPIPE.
    ssize_t n = 0;
    do {
        n = ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    ::close(connection);
}

} // namespace kx::platform::posix
