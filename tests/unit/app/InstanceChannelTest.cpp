#include "app/InstanceChannel.h"

#include <gtest/gtest.h>

#include <string>

using namespace kx::app;

namespace {

TEST(InstanceChannel, socketPathFollowsTheRules)
{
    const std::string longFolder = "/run/user/" + std::string(80, 'x');
    // With "/kalmotex-0.socket" (18 bytes) exactly as long as a socket's address may be.
    const std::string limitFolder = "/" + std::string(kMaxSocketPathLength - 19, 'r');
    const struct
    {
        const char* name;
        InstanceEnvironment environment;
        std::string expected;
    } cases[] = {
        { "runtime folder", { "/run/user/1000", ":0", "1000" }, "/run/user/1000/kalmotex-0.socket" },
        { "trailing slash", { "/run/user/1000/", ":5", "1000" }, "/run/user/1000/kalmotex-5.socket" },
        // Every screen of one server is one session.
        { "screen number dropped", { "/run/user/7", ":3.1", "7" }, "/run/user/7/kalmotex-3.socket" },
        { "remote display",
            { "/run/user/7", "host.example:10.0", "7" },
            "/run/user/7/kalmotex-host.example_10.socket" },
        { "slashes never make folders",
            { "/run/user/7", "/tmp/a b:0", "7" },
            "/run/user/7/kalmotex-_tmp_a_b_0.socket" },
        { "wayland name", { "/run/user/7", "wayland-0", "7" }, "/run/user/7/kalmotex-wayland-0.socket" },
        { "no runtime folder", { "", ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" },
        { "relative runtime folder ignored", { "run/user", ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" },
        { "no display", { "/run/user/7", "", "7" }, "/run/user/7/kalmotex-none.socket" },
        // A local socket's address holds 107 bytes; a longer path could not be listened at.
        { "too long for a socket address", { longFolder, ":0", "1000" }, "/tmp/kalmotex-1000-0.socket" },
        { "at the address limit", { limitFolder, ":0", "1" }, limitFolder + "/kalmotex-0.socket" },
        { "one byte beyond the limit", { limitFolder + "r", ":0", "1" }, "/tmp/kalmotex-1-0.socket" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(instanceSocketPath(c.environment), c.expected) << c.name;
    ASSERT_EQ(limitFolder.size() + 18, kMaxSocketPathLength);
}

TEST(InstanceChannel, requestsRoundTrip)
{
    for (const InstanceRequest request : { InstanceRequest { InstanceCommand::Show, 0 },
             InstanceRequest { InstanceCommand::Menu, 0 },
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
