#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx::config {
class ConfigAccess;
}
namespace kx::store {
class EntryStore;
class RandomSource;
} // namespace kx::store

// kalmotex-cli: the configuration file's entries from the command line.
namespace kx::app::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // no such entry, the file cannot be read or written, bad value
constexpr int kExitUsage = 2; // unknown command or option, missing or malformed argument

// What a command works with. The configuration file may not exist yet: it is then an
// empty configuration, created by the first write.
struct CliContext
{
    config::ConfigAccess& config;
    const std::string& configPath;
    store::EntryStore& entries;
    store::RandomSource& random;
    std::ostream& out;
    std::ostream& err;

    // Print "kalmotex-cli: <message>" as one line on stderr and return the exit code.
    int usageError(std::string_view message) const;
    int failure(std::string_view message) const;

    // Parses an entry number argument: nothing (after printing a usage error) when it is
    // not a decimal number. Any number is accepted here; see requireEntry.
    std::optional<long long> entryNumber(const std::string& argument) const;
    // Whether `number` is one of the entries 1..n; prints the failure when not.
    bool requireEntry(long long number) const;
};

// A command's arguments are those after its name.
using CommandFunction = std::function<int(CliContext&, const std::vector<std::string>&)>;

struct Command
{
    std::string name;
    std::string synopsis; // shown by --help, e.g. "show N [--json]"
    bool writes = false; // a failing writing command has the file restored to what it was
    CommandFunction run;
};

class CommandTable
{
public:
    void add(Command command);
    const Command* find(std::string_view name) const;
    const std::vector<Command>& commands() const { return m_commands; }

private:
    std::vector<Command> m_commands;
};

// list, show, add, set, delete, ignore.
void addStoreCommands(CommandTable& table);

// Runs one command line (the arguments after the program name):
// [--config FILE] COMMAND [ARGUMENTS]. Returns the exit code.
int runCli(const std::vector<std::string>& arguments,
    const std::string& defaultConfigPath,
    const CommandTable& table,
    std::ostream& out,
    std::ostream& err);
// The same, asking for the default file only when no --config option names one.
int runCli(const std::vector<std::string>& arguments,
    const std::function<std::string()>& defaultConfigPath,
    const CommandTable& table,
    std::ostream& out,
    std::ostream& err);

// The configuration file (Kalmotex.ini) as the program finds it from its own folder; argv0
// is used where the system cannot name the running executable.
std::string defaultConfigPath(const std::string& argv0);

// JSON string literal of UTF-8 text, with the standard escapes.
std::string jsonString(std::string_view text);

} // namespace kx::app::cli
