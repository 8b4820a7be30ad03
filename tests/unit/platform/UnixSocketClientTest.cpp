#include "backends/posix/UnixSocketClient.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using kx::platform::InstanceReply;
using kx::platform::posix::UnixSocketClient;

namespace {

// A socket bound at `path`; listening or not, as a running or a crashed program leaves it.
class BoundSocket
{
public:
    BoundSocket(const std::string& path, bool listening)
        : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
        if (listening) {
            EXPECT_EQ(::listen(m_fd, 4), 0);
        }
    }
    ~BoundSocket() { ::close(m_fd); }
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;

    // Accepts one connection, reads up to the first "\n" and writes `answer` back.
    std::string serveOnce(const std::string& answer)
    {
        const int connection = ::accept(m_fd, nullptr, nullptr);
        std::string request;
        char c = 0;
        while (request.find('\n') == std::string::npos && ::read(connection, &c, 1) == 1)
            request += c;
        if (!answer.empty()) {
            EXPECT_EQ(::write(connection, answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
        }
        ::close(connection);
        return request;
    }

private:
    int m_fd;
};

class UnixSocketClientTest : public ::testing::Test
{
protected:
    std::string path() const { return dir.file("k.socket").string(); }

    kx::test::TempDir dir;
    UnixSocketClient client { 64 };
};

TEST_F(UnixSocketClientTest, nothingThereOrASocketLeftByACrashMeansNotRunning)
{
    EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);
    {
        const BoundSocket left(path(), false);
        EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);
    }
    // The file outlives the socket, as after a crash.
    EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);
}

TEST_F(UnixSocketClientTest, aProgramThatHangsUpWithoutAnswerIsAFailure)
{
    BoundSocket server(path(), true);
    std::thread program([&] { server.serveOnce(""); });
    const InstanceReply reply = client.exchange(path(), "send 3\n");
    program.join();
    EXPECT_EQ(reply.status, InstanceReply::Status::Failed);
    EXPECT_NE(reply.error.find("without an answer"), std::string::npos) << reply.error;
}

} // namespace
