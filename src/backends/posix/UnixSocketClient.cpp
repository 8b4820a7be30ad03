#include "backends/posix/UnixSocketClient.h"

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace kx::platform::posix {

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

InstanceReply failed(std::string error) { return { InstanceReply::Status::Failed, {}, std::move(error) }; }

std::string systemError(const std::string& what, const std::string& address)
{
    return what + " " + address + ": " + std::strerror(errno);
}

} // namespace

InstanceReply UnixSocketClient::exchange(const std::string& address, const std::string& request)
{
    sockaddr_un socketAddress {};
    socketAddress.sun_family = AF_UNIX;
    if (address.size() >= sizeof socketAddress.sun_path)
        return failed("socket path too long: " + address);
    std::memcpy(socketAddress.sun_path, address.c_str(), address.size() + 1);

    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return failed(systemError("socket for", address));
    if (m_timeoutMs > 0) {
        const timeval limit { m_timeoutMs / 1000, (m_timeoutMs % 1000) * 1000 };
        ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    }
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress)
        != 0) {
        // No file, or a file nobody listens at (left by a program that crashed).
        if (errno == ENOENT || errno == ECONNREFUSED)
            return { InstanceReply::Status::NotRunning, {}, {} };
        return failed(systemError("connect to", address));
    }

    for (std::size_t written = 0; written < request.size();) {
        // MSG_NOSIGNAL: a program that has gone away must not end this one with SIGPIPE.
        const ssize_t n
            = ::send(socket.get(), request.data() + written, request.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(systemError("write to", address));
        written += static_cast<std::size_t>(n);
    }

    std::string line;
    char buffer[64];
    while (line.find('\n') == std::string::npos) {
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed(systemError("read from", address));
        if (n == 0)
            return failed("kalmotex closed " + address + " without an answer");
        line.append(buffer, static_cast<std::size_t>(n));
        if (line.size() > m_maxLineLength)
            return failed("answer from " + address + " too long");
    }
    line.erase(line.find('\n'));
    return { InstanceReply::Status::Answered, std::move(line), {} };
}

std::string currentUserId() { return std::to_string(::getuid()); }

} // namespace kx::platform::posix
