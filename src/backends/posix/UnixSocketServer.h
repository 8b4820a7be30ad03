#pragma once

#include <cstddef>
#include <string>

namespace kx::platform::posix {

// The running program's end of the instance channel over an AF_UNIX stream socket. All its
// descriptors are non-blocking: the caller waits for them in its own event loop.
class UnixSocketServer
{
public:
    UnixSocketServer() = default;
    // Stops listening and removes the socket file.
    ~UnixSocketServer();
    UnixSocketServer(const UnixSocketServer&) = delete;
    UnixSocketServer& operator=(const UnixSocketServer&) = delete;

    // Listens at `path`, for this user only. A socket file there is removed first: the caller
    // has found that nobody answers at it (left by a program that crashed). Empty, or why the
    // system refused.
    std::string listen(const std::string& path);
    // Readable while a connection waits to be accepted; -1 before listening.
    int descriptor() const { return m_socket; }
    // The next waiting connection, or -1 when none waits.
    int acceptConnection();

private:
    int m_socket = -1;
    std::string m_path;
};

enum class RequestRead
{
    Complete, // `line` ends with "\n", or has reached the longest request without one
    Pending, // more is on its way
    Ended, // the client has gone away (or the connection broke) before a whole request
};

// Appends what has arrived on `connection` to `line`, up to `maxLength` bytes.
RequestRead readRequest(int connection, std::string& line, std::size_t maxLength);

// Closes a connection that ended without a whole request.
void closeConnection(int connection);

// Writes `answer` (one short line, which the socket's buffer always takes) and closes the
// connection. A client that has gone meanwhile costs nothing.
void answerAndClose(int connection, const std::string& answer);

} // namespace kx::platform::posix
