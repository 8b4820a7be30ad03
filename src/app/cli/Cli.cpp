#include "app/cli/Cli.h"

#include "config/CommandLine.h"
#include "config/ConfigAccess.h"
#include "config/FileSystem.h"
#include "config/IniFile.h"
#include "store/EntryStore.h"
#include "store/TimeSeededRandom.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <utility>

namespace kx::app::cli {

namespace {

constexpr std::string_view kProgram = "kalmotex-cli";

// The file's bytes before a writing command, put back when the command fails after
// writing some of its values (the configuration is written one value at a time).
class FileSnapshot
{
public:
    explicit FileSnapshot(std::filesystem::path path)
        : m_path(std::move(path))
    {
        std::error_code ec;
        if (std::filesystem::status(m_path, ec).type() == std::filesystem::file_type::not_found) {
            m_taken = true;
            return;
        }
        // A file that could not be read whole is never put back (nor removed).
        std::FILE* file = config::openFile(m_path, "rb");
        if (!file)
            return;
        std::string bytes;
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        m_taken = std::ferror(file) == 0;
        std::fclose(file);
        if (m_taken)
            m_bytes = std::move(bytes);
    }

    void restore() const
    {
        if (m_taken)
            config::restoreFile(m_path, m_bytes);
    }

private:
    std::filesystem::path m_path;
    std::optional<std::string> m_bytes; // nothing: there was no file
    bool m_taken = false;
};

void printHelp(const CommandTable& table, std::ostream& out)
{
    out << "usage: " << kProgram << " [--config FILE] COMMAND [ARGUMENTS]\n"
        << "       " << kProgram << " --help | --version\n\ncommands:\n";
    for (const auto& command : table.commands())
        out << "  " << command.synopsis << '\n';
    out << "\nWithout --config the file is the one kalmotex uses (see kalmotex-cli(1)).\n";
}

} // namespace

int CliContext::usageError(std::string_view message) const
{
    err << kProgram << ": " << message << '\n';
    return kExitUsage;
}

int CliContext::failure(std::string_view message) const
{
    err << kProgram << ": " << message << '\n';
    return kExitFailure;
}

std::optional<long long> CliContext::entryNumber(const std::string& argument) const
{
    const char* first = argument.data();
    const char* last = first + argument.size();
    if (first != last && *first == '+')
        ++first;
    long long number = 0;
    const auto [end, ec] = std::from_chars(first, last, number);
    if (first == last || end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        usageError("'" + argument + "' is not an entry number");
        return std::nullopt;
    }
    if (ec == std::errc::result_out_of_range)
        number = argument.front() == '-' ? -1 : 1LL << 62;
    return number;
}

bool CliContext::requireEntry(long long number) const
{
    // The entry list ends at the first empty name.
    bool exists = number >= 1 && number <= store::EntryStore::kMaxEntries;
    const config::ConfigAccess::ReadScope scope(config);
    for (long long i = 1; exists && i <= number; ++i)
        exists = !config.readIniString("Name", std::to_string(i), "").empty();
    if (!exists)
        failure("there is no entry " + std::to_string(number));
    return exists;
}

void CommandTable::add(Command command) { m_commands.push_back(std::move(command)); }

const Command* CommandTable::find(std::string_view name) const
{
    for (const auto& command : m_commands)
        if (command.name == name)
            return &command;
    return nullptr;
}

int runCli(const std::vector<std::string>& arguments,
    const std::string& defaultConfigPath,
    const CommandTable& table,
    std::ostream& out,
    std::ostream& err)
{
    return runCli(
        arguments,
        [&defaultConfigPath] { return defaultConfigPath; },
        table,
        out,
        err);
}

int runCli(const std::vector<std::string>& arguments,
    const std::function<std::string()>& defaultConfigPath,
    const CommandTable& table,
    std::ostream& out,
    std::ostream& err)
{
    std::optional<std::string> givenPath;
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next].starts_with("-")) {
        const std::string& option = arguments[next];
        if (option == "--help" || option == "-h") {
            printHelp(table, out);
            return kExitOk;
        }
        if (option == "--version") {
            out << config::versionLine(kProgram);
            return kExitOk;
        }
        if (option != "--config") {
            err << kProgram << ": unknown option '" << option << "'\n";
            return kExitUsage;
        }
        if (next + 1 >= arguments.size()) {
            err << kProgram << ": --config needs a file name\n";
            return kExitUsage;
        }
        givenPath = arguments[next + 1];
        next += 2;
    }
    if (next >= arguments.size()) {
        err << kProgram << ": no command given (see --help)\n";
        return kExitUsage;
    }
    const Command* command = table.find(arguments[next]);
    if (!command) {
        err << kProgram << ": unknown command '" << arguments[next] << "'\n";
        return kExitUsage;
    }
    const std::string configPath = givenPath ? *givenPath : defaultConfigPath();
    if (config::inspectConfigFile(configPath) == config::ConfigFileState::unreadable) {
        err << kProgram << ": cannot read " << configPath << '\n';
        return kExitFailure;
    }

    config::ConfigAccess config(configPath);
    store::TimeSeededRandom random;
    store::EntryStore entries(config, random);
    CliContext context { config, configPath, entries, random, out, err };
    const std::vector<std::string> commandArguments(arguments.begin() + static_cast<std::ptrdiff_t>(next) + 1,
        arguments.end());
    if (!command->writes)
        return command->run(context, commandArguments);

    if (!givenPath) {
        // The program's own location may not have been created yet (first use before the
        // program ever ran); a --config file's folder must exist.
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(configPath).parent_path(), ec);
    }
    const FileSnapshot before(configPath);
    const int result = command->run(context, commandArguments);
    if (result != kExitOk && config.writeCount() > 0)
        before.restore();
    return result;
}

std::string jsonString(std::string_view text)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string json = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\b':
            json += "\\b";
            break;
        case '\f':
            json += "\\f";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                json += "\\u00";
                json += hex[(c >> 4) & 0xF];
                json += hex[c & 0xF];
            } else {
                json += c;
            }
        }
    }
    json += '"';
    return json;
}

} // namespace kx::app::cli
