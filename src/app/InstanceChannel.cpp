#include "app/InstanceChannel.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace kx::app {

namespace {

constexpr int kLargestEntryNumber = 32767;

constexpr std::array<std::pair<InstanceAnswer, std::string_view>, 5> kAnswerWords { {
    { InstanceAnswer::Ok, "ok" },
    { InstanceAnswer::Busy, "busy" },
    { InstanceAnswer::NoEntry, "no-entry" },
    { InstanceAnswer::NotTyped, "not-typed" },
    { InstanceAnswer::BadRequest, "bad-request" },
} };

std::string_view withoutNewline(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A positive decimal number without sign or leading zeros, up to the largest entry number.
std::optional<int> entryNumber(std::string_view text)
{
    if (text.empty() || text.size() > 5 || text.front() == '0')
        return std::nullopt;
    int number = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number > kLargestEntryNumber)
        return std::nullopt;
    return number;
}

} // namespace

std::string instanceDisplayTag(std::string_view display)
{
    // The screen number follows the last '.' after the last ':' ("host:0.1").
    const std::size_t colon = display.rfind(':');
    if (colon != std::string_view::npos) {
        const std::size_t dot = display.find('.', colon);
        if (dot != std::string_view::npos)
            display = display.substr(0, dot);
        if (colon == 0)
            display.remove_prefix(1);
    }
    if (display.empty())
        return "none";
    std::string tag;
    for (char c : display) {
        const bool plain = isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.'
            || c == '-' || c == '_';
        tag += plain ? c : '_';
    }
    return tag;
}

std::string instanceSocketPath(const InstanceEnvironment& environment)
{
    const std::string tag = instanceDisplayTag(environment.display);
    if (!environment.runtimeDir.empty() && environment.runtimeDir.front() == '/') {
        std::string folder = environment.runtimeDir;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        if (folder != "/")
            folder += '/';
        std::string path = folder + "kalmotex-" + tag + ".socket";
        if (path.size() <= kMaxSocketPathLength)
            return path;
    }
    // /tmp is shared by every user: the user id keeps two users' programs apart.
    return "/tmp/kalmotex-" + environment.userId + "-" + tag + ".socket";
}

std::string formatInstanceRequest(const InstanceRequest& request)
{
    switch (request.command) {
    case InstanceCommand::Send:
        return "send " + std::to_string(request.entryNumber) + "\n";
    case InstanceCommand::Menu:
        return "menu\n";
    case InstanceCommand::Show:
        break;
    }
    return "show\n";
}

std::optional<InstanceRequest> parseInstanceRequest(std::string_view line)
{
    line = withoutNewline(line);
    if (line == "show")
        return InstanceRequest { InstanceCommand::Show, 0 };
    if (line == "menu")
        return InstanceRequest { InstanceCommand::Menu, 0 };
    constexpr std::string_view send = "send ";
    if (!line.starts_with(send))
        return std::nullopt;
    const std::optional<int> number = entryNumber(line.substr(send.size()));
    if (!number)
        return std::nullopt;
    return InstanceRequest { InstanceCommand::Send, *number };
}

std::string formatInstanceAnswer(InstanceAnswer answer)
{
    for (const auto& [value, word] : kAnswerWords)
        if (value == answer)
            return std::string(word) + "\n";
    return "bad-request\n";
}

std::optional<InstanceAnswer> parseInstanceAnswer(std::string_view line)
{
    line = withoutNewline(line);
    for (const auto& [value, word] : kAnswerWords)
        if (word == line)
            return value;
    return std::nullopt;
}

InstanceEnvironment currentInstanceEnvironment(std::string userId)
{
    std::string display = environmentValue("DISPLAY");
    if (display.empty())
        display = environmentValue("WAYLAND_DISPLAY");
    return { environmentValue("XDG_RUNTIME_DIR"), std::move(display), std::move(userId) };
}

} // namespace kx::app
