#include "backends/posix/UnixSocketClient.h"
#include "backends/posix/UnixSocketServer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using kx::platform::InstanceReply;
using namespace kx::platform::posix;

namespace {

class UnixSocketTest : public ::testing::Test
{
protected:
    std::string path() const { return dir.file("k.socket").string(); }

    // Serves one connection of `server` as the program does, answering `answer` ("" hangs
    // up without one); the request it read.
    static std::string serveOnce(UnixSocketServer& server, const std::string& answer)
    {
        pollfd waiting { server.descriptor(), POLLIN, 0 };
        ::poll(&waiting, 1, -1);
        const int connection = server.acceptConnection();
        std::string request;
        pollfd readable { connection, POLLIN, 0 };
        while (::poll(&readable, 1, -1) > 0 && readRequest(connection, request, 64) == RequestRead::Pending) {
        }
        if (answer.empty())
            closeConnection(connection);
        else
            answerAndClose(connection, answer);
        return request;
    }

    kx::test::TempDir dir;
    UnixSocketClient client { 64 };
};

TEST_F(UnixSocketTest, nothingThereOrASocketLeftByACrashMeansNotRunningAndIsTakenOver)
{
    EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);
    {
        // Bound, not listening: nobody answers there.
        const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path().c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(left, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);
        ::close(left);
    }
    // The file outlives the socket, as after a crash.
    EXPECT_EQ(client.exchange(path(), "show\n").status, InstanceReply::Status::NotRunning);

    UnixSocketServer server;
    ASSERT_EQ(server.listen(path()), "");
    std::thread program([&] { EXPECT_EQ(serveOnce(server, "ok\n"), "send 3\n"); });
    const InstanceReply reply = client.exchange(path(), "send 3\n");
    program.join();
    EXPECT_EQ(reply.status, InstanceReply::Status::Answered);
    EXPECT_EQ(reply.line, "ok");
}

TEST_F(UnixSocketTest, aProgramThatHangsUpOrNeverAnswersIsAFailure)
{
    UnixSocketServer server;
    ASSERT_EQ(server.listen(path()), "");
    std::thread program([&] { serveOnce(server, ""); });
    const InstanceReply reply = client.exchange(path(), "send 3\n");
    program.join();
    EXPECT_EQ(reply.status, InstanceReply::Status::Failed);
    EXPECT_NE(reply.error.find("without an answer"), std::string::npos) << reply.error;

    // Nobody accepts: a client with a time limit gives up instead of waiting for ever.
    EXPECT_EQ(UnixSocketClient(64, 50).exchange(path(), "show\n").status, InstanceReply::Status::Failed);
}

} // namespace
