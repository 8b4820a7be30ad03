#include "app/cli/InstanceCommands.h"
#include "app/cli/Cli.h"

#include "platform/InstanceClient.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cli = kx::app::cli;
using kx::platform::InstanceReply;

namespace {

// Stands for the running program: records what was asked and gives the scripted reply.
class ScriptedInstance : public kx::platform::InstanceClient
{
public:
    InstanceReply exchange(const std::string& address, const std::string& request) override
    {
        addresses.push_back(address);
        requests.push_back(request);
        return reply;
    }

    InstanceReply reply { InstanceReply::Status::Answered, "ok", {} };
    std::vector<std::string> addresses;
    std::vector<std::string> requests;
};

using Result = kx::test::CliResult;

class InstanceCommands : public ::testing::Test
{
protected:
    InstanceCommands()
    {
        cli::addInstanceCommands(table,
            instance,
            cli::displayInstanceTarget({ "/run/user/1000", ":7", "1000" }));
    }

    Result run(const std::vector<std::string>& arguments)
    {
        // No configuration file: the running program's own is the one that counts.
        return kx::test::runCli(table, arguments, dir.file("Kalmotex.ini").string());
    }

    kx::test::TempDir dir;
    ScriptedInstance instance;
    cli::CommandTable table;
};

TEST_F(InstanceCommands, sendSucceedsWhenTheProgramTypedAndFailsWithItsReasonOtherwise)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "ok", "" },
        { "busy",
            "kalmotex-cli: kalmotex is busy (a send is under way or its menu is open); nothing sent\n" },
        { "no-entry", "kalmotex-cli: there is no entry 12\n" },
        { "not-typed", "kalmotex-cli: nothing typed: no target window, or the choice was cancelled\n" },
        { "bad-request", "kalmotex-cli: kalmotex did not understand the request\n" },
        { "maybe", "kalmotex-cli: kalmotex gave an unknown answer: 'maybe'\n" },
    };
    for (const auto& [answer, message] : cases) {
        instance.reply = { InstanceReply::Status::Answered, answer, {} };
        const Result result = run({ "send", "12" });
        EXPECT_EQ(result.code, answer == "ok" ? cli::kExitOk : cli::kExitFailure) << answer;
        EXPECT_EQ(result.out, "") << answer;
        EXPECT_EQ(result.err, message) << answer;
    }
    EXPECT_EQ(instance.addresses, std::vector<std::string>(cases.size(), "/run/user/1000/kalmotex-7.socket"));
    EXPECT_EQ(instance.requests, std::vector<std::string>(cases.size(), "send 12\n"));
    instance.reply = { InstanceReply::Status::Failed, {}, "kalmotex closed /x without an answer" };
    const Result broken = run({ "send", "12" });
    EXPECT_EQ(broken.code, cli::kExitFailure);
    EXPECT_EQ(broken.err, "kalmotex-cli: kalmotex closed /x without an answer\n");
}

TEST_F(InstanceCommands, malformedOrImpossibleNumbersNeverReachTheProgram)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>> { { "send" },
             { "send", "x" },
             { "send", "1", "2" },
             { "send", "1.5" },
             { "send", "" } }) {
        const Result result = run(arguments);
        EXPECT_EQ(result.code, cli::kExitUsage) << arguments.size();
        EXPECT_TRUE(result.err.starts_with("kalmotex-cli: ")) << result.err;
    }
    for (const char* number : { "0", "-4", "32768" }) {
        const Result result = run({ "send", number });
        EXPECT_EQ(result.code, cli::kExitFailure) << number;
        EXPECT_EQ(result.err, std::string("kalmotex-cli: there is no entry ") + number + "\n");
    }
    EXPECT_TRUE(instance.requests.empty());
}

} // namespace
