#include "app/InstanceChannel.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace kx::app;

namespace {

struct PathCase
{
    const char* name;
    InstanceEnvironment environment;
    std::string expected;
};

void PrintTo(const PathCase& row, std::ostream* out) { *out << row.name; }

class SocketPath : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(SocketPath, followsTheRules)
{
    EXPECT_EQ(instanceSocketPath(GetParam().environment), GetParam().expected);
}

const std::string longFolder = "/run/user/" + std::string(80, 'x');

INSTANTIATE_TEST_SUITE_P(InstanceChannel,
    SocketPath,
    ::testing::Values(
        PathCase { "runtimeFolder", { "/run/user/1000", ":0", "1000" }, "/run/user/1000/kalmotex-0.socket" },
        PathCase { "trailingSlash", { "/run/user/1000/", ":5", "1000" }, "/run/user/1000/kalmotex-5.socket" },
        // Every screen of one server is one session.
        PathCase { "screenNumberDropped", { "/run/user/7", ":3.1", "7" }, "/run/user/7/kalmotex-3.socket" },
        PathCase { "remoteDisplay",
            { "/run/user/7", "host.example:10.0", "7" },
            "/run/user/7/kalmotex-host.example_10.socket" },
        PathCase { "slashesNeverMakeFolders",
            { "/run/user/7", "/tmp/a b:0", "7" },
            "/run/user/7/kalmotex-_tmp_a_b_0.socket" },
        PathCase {
            "waylandName", { "/run/user/7", "wayland-0", "7" }, "/run/user/7/kalmotex-wayland-0.socket" },
        PathCase { "noRuntimeFolder", { "", ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" },
        PathCase {
            "relativeRuntimeFolderIgnored", { "run/user", ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" },
        PathCase { "noDisplay", { "/run/user/7", "", "7" }, "/run/user/7/kalmotex-none.socket" },
        // A local socket's address holds 107 bytes; a longer path could not be listened at.
        PathCase { "tooLongForASocketAddress", { longFolder, ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" }),
    [](const auto& row) { return std::string(row.param.name); });

TEST(InstanceChannel, pathAtTheAddressLimitStaysInTheRuntimeFolder)
{
    // "kalmotex-0.socket" is 17 bytes, with the slash 18.
    const std::string folder = "/" + std::string(kMaxSocketPathLength - 19, 'r');
    const std::string path = instanceSocketPath({ folder, ":0", "1" });
    EXPECT_EQ(path, folder + "/kalmotex-0.socket");
    EXPECT_EQ(path.size(), kMaxSocketPathLength);
    EXPECT_EQ(instanceSocketPath({ folder + "r", ":0", "1" }), "/tmp/kalmotex-1-0.socket");
}

TEST(InstanceChannel, requestsRoundTrip)
{
    for (const InstanceRequest request : { InstanceRequest { InstanceCommand::Show, 0 },
             InstanceRequest { InstanceCommand::Send, 1 },
             InstanceRequest { InstanceCommand::Send, 32767 } }) {
        const std::string line = formatInstanceRequest(request);
        EXPECT_TRUE(line.ends_with('\n')) << line;
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        EXPECT_EQ(parseInstanceRequest(line), request) << line;
    }
    EXPECT_EQ(formatInstanceRequest({ InstanceCommand::Send, 12 }), "send 12\n");
    EXPECT_EQ(parseInstanceRequest("send 7"), (InstanceRequest { InstanceCommand::Send, 7 }));
}

TEST(InstanceChannel, malformedRequestsAreRejected)
{
    for (const char* line : { "",
             "\n",
             "show \n",
             "SHOW\n",
             "show\r\n",
             "hide\n",
             "send\n",
             "send \n",
             "send 0\n",
             "send -1\n",
             "send +1\n",
             "send 01\n",
             "send 32768\n",
             "send 99999999999\n",
             "send 1 2\n",
             "send  1\n",
             "send 1x\n",
             "send 1\n\n",
             "send\t1\n",
             "quit\n" })
        EXPECT_EQ(parseInstanceRequest(line), std::nullopt) << '"' << line << '"';
}

TEST(InstanceChannel, answersRoundTripAndUnknownOnesAreRejected)
{
    for (const InstanceAnswer answer : { InstanceAnswer::Ok,
             InstanceAnswer::Busy,
             InstanceAnswer::NoEntry,
             InstanceAnswer::NotTyped,
             InstanceAnswer::BadRequest })
        EXPECT_EQ(parseInstanceAnswer(formatInstanceAnswer(answer)), answer);
    EXPECT_EQ(formatInstanceAnswer(InstanceAnswer::Ok), "ok\n");
    EXPECT_EQ(formatInstanceAnswer(InstanceAnswer::NotTyped), "not-typed\n");
    for (const char* line : { "", "OK\n", "ok \n", "okay\n", "error\n" })
        EXPECT_EQ(parseInstanceAnswer(line), std::nullopt) << '"' << line << '"';
}

} // namespace
