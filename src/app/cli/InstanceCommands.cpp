#include "app/cli/InstanceCommands.h"
#include "app/cli/Cli.h"

#include "platform/InstanceClient.h"
#include "store/EntryStore.h"

#include <variant>

namespace kx::app::cli {

namespace {

// The running program's answer to `request`, or the exit status when there is none.
std::variant<InstanceAnswer, int> exchange(CliContext& context,
    platform::InstanceClient& client,
    const InstanceTarget& target,
    const InstanceRequest& request)
{
    const platform::InstanceReply reply = client.exchange(target.address, formatInstanceRequest(request));
    switch (reply.status) {
    case platform::InstanceReply::Status::NotRunning:
        return context.failure("kalmotex is not running on " + target.session
            + " (or runs with SingleInstance=0; see kalmotex-cli(1))");
    case platform::InstanceReply::Status::Failed:
        return context.failure(reply.error);
    case platform::InstanceReply::Status::Answered:
        break;
    }
    const std::optional<InstanceAnswer> answer = parseInstanceAnswer(reply.line);
    if (!answer)
        return context.failure("kalmotex gave an unknown answer: '" + reply.line + "'");
    if (*answer == InstanceAnswer::BadRequest)
        return context.failure("kalmotex did not understand the request");
    return *answer;
}

int sendThroughInstance(CliContext& context,
    const std::vector<std::string>& args,
    platform::InstanceClient& client,
    const InstanceTarget& target)
{
    if (args.empty())
        return context.usageError("send needs an entry number");
    if (args.size() > 1)
        return context.usageError("send takes one entry number");
    const auto number = context.entryNumber(args.front());
    if (!number)
        return kExitUsage;
    if (*number < 1 || *number > store::EntryStore::kMaxEntries)
        return context.failure("there is no entry " + std::to_string(*number));

    const auto answer
        = exchange(context, client, target, { InstanceCommand::Send, static_cast<int>(*number) });
    if (const int* status = std::get_if<int>(&answer))
        return *status;
    switch (std::get<InstanceAnswer>(answer)) {
    case InstanceAnswer::Ok:
        return kExitOk;
    case InstanceAnswer::Busy:
        return context.failure("kalmotex is busy (a send is under way or its menu is open); nothing sent");
    case InstanceAnswer::NoEntry:
        return context.failure("there is no entry " + std::to_string(*number));
    case InstanceAnswer::NotTyped:
        return context.failure("nothing typed: no target window, or the choice was cancelled");
    case InstanceAnswer::BadRequest:
        break;
    }
    return context.failure("kalmotex did not understand the request");
}

int openMenuOfInstance(CliContext& context,
    const std::vector<std::string>& args,
    platform::InstanceClient& client,
    const InstanceTarget& target)
{
    if (!args.empty())
        return context.usageError("menu takes no arguments");
    const auto answer = exchange(context, client, target, { InstanceCommand::Menu, 0 });
    if (const int* status = std::get_if<int>(&answer))
        return *status;
    if (std::get<InstanceAnswer>(answer) == InstanceAnswer::Ok)
        return kExitOk;
    return context.failure("kalmotex is busy (a send is under way or its menu is open)");
}

} // namespace

InstanceTarget displayInstanceTarget(const InstanceEnvironment& environment)
{
    return { instanceSocketPath(environment),
        environment.display.empty() ? "this session" : "display " + environment.display };
}

void addInstanceCommands(CommandTable& table, platform::InstanceClient& client, InstanceTarget target)
{
    table.add({ "send",
        "send N",
        false,
        [&client, target](CliContext& context, const std::vector<std::string>& args) {
            return sendThroughInstance(context, args, client, target);
        } });
    table.add({ "menu",
        "menu",
        false,
        [&client, target = std::move(target)](CliContext& context, const std::vector<std::string>& args) {
            return openMenuOfInstance(context, args, client, target);
        } });
}

} // namespace kx::app::cli
