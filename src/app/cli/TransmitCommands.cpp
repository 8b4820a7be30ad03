#include "app/cli/TransmitCommands.h"
#include "app/cli/Cli.h"

#include "store/EntryStore.h"
#include "transmit/Clock.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/Transmitter.h"

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <optional>
#include <ostream>

namespace kx::app::cli {

namespace {

// The X11 backend's console paste keys (Shift+Insert); the CLI types nothing itself.
constexpr const char* consolePasteKeys = "+{INSERT}";

struct EntryArguments
{
    long long number = 0;
    bool json = false;
};

std::optional<EntryArguments> parseArguments(const CliContext& context,
    const std::string& command,
    const std::vector<std::string>& args,
    bool allowJson)
{
    EntryArguments parsed;
    std::optional<std::string> numberText;
    for (const std::string& arg : args) {
        if (allowJson && arg == "--json") {
            parsed.json = true;
        } else if (arg.starts_with("--")) {
            context.usageError("unknown option '" + arg + "' for " + command);
            return std::nullopt;
        } else if (numberText) {
            context.usageError(command + " takes one entry number");
            return std::nullopt;
        } else {
            numberText = arg;
        }
    }
    if (!numberText) {
        context.usageError(command + " needs an entry number");
        return std::nullopt;
    }
    const auto number = context.entryNumber(*numberText);
    if (!number)
        return std::nullopt;
    parsed.number = *number;
    return parsed;
}

// The entry's text as a send types it, without the clipboard (empty) and answers (the
// questions stay). kalmotex works in its configuration's folder, so a relative "%datei="
// name is looked up there, wherever this command was started.
transmit::ExpandedText expandedAsSent(
    const CliContext& context, const store::Entry& entry, const transmit::Clock& clock)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path before = fs::current_path(error);
    const fs::path folder = fs::absolute(context.configPath, error).parent_path();
    fs::current_path(folder, error);
    // Without a way to ask, nothing can be cancelled.
    transmit::ExpandedText expanded = *transmit::expandedEntryText(entry, clock, {});
    if (!before.empty())
        fs::current_path(before, error);
    return expanded;
}

// The Left presses that bring the caret back to "%cursor%", in counts the keystroke syntax
// takes (up to 10000 each).
std::string leftKeys(std::size_t count)
{
    std::string keys;
    for (; count > 0; count -= std::min<std::size_t>(count, 10000))
        keys += "{LEFT " + std::to_string(std::min<std::size_t>(count, 10000)) + "}";
    return keys;
}

} // namespace

void addTransmitCommands(CommandTable& table, std::shared_ptr<const transmit::Clock> clock)
{
    if (!clock) {
        // The system's date and time formats, as the program uses them.
        std::setlocale(LC_TIME, "");
        clock = std::make_shared<transmit::SystemClock>();
    }
    table.add(
        { "expand", "expand N", false, [clock](CliContext& context, const std::vector<std::string>& args) {
             const auto parsed = parseArguments(context, "expand", args, false);
             if (!parsed)
                 return kExitUsage;
             if (!context.requireEntry(parsed->number))
                 return kExitFailure;
             const store::Entry entry = context.entries.readEntry(static_cast<int>(parsed->number));
             context.out << expandedAsSent(context, entry, *clock).text;
             return kExitOk;
         } });
    table.add({ "keys",
        "keys N [--json]",
        false,
        [clock](CliContext& context, const std::vector<std::string>& args) {
            const auto parsed = parseArguments(context, "keys", args, true);
            if (!parsed)
                return kExitUsage;
            if (!context.requireEntry(parsed->number))
                return kExitFailure;
            const store::Entry entry = context.entries.readEntry(static_cast<int>(parsed->number));
            transmit::ExpandedText expanded = expandedAsSent(context, entry, *clock);
            std::string text;
            std::optional<std::string> clipboard;
            if (entry.dosBox) {
                clipboard = std::move(expanded.text);
                text = consolePasteKeys;
            } else {
                text = transmit::encodeKeystrokes(expanded.text);
            }
            text += leftKeys(expanded.charactersAfterCursor);
            if (parsed->json) {
                context.out << "{\"keys\":" << jsonString(text)
                            << ",\"clipboard\":" << (clipboard ? jsonString(*clipboard) : "null") << "}\n";
            } else {
                context.out << text;
            }
            return kExitOk;
        } });
}

} // namespace kx::app::cli
