// Many kalmotex-cli processes write different entries of one configuration file while some
// of them are killed with SIGKILL at random moments of their run. Afterwards the file must
// read, every write that was acknowledged (the process exited with 0) must be in it, and
// nothing left behind may block the next write.
//
// usage: kill_storm --cli PATH [--kills N] [--writers N] [--seed N]
//
// Each writer owns one entry and writes it again and again, one process at a time, so the
// entry ends with its last acknowledged value or with that of an attempt after it that was
// killed after its rename. A child is killed before it is waited for, so its process id
// cannot have been given to another process yet.

#include "config/IniFile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options
{
    std::string cli;
    int kills = 30;
    int writers = 6;
    unsigned seed = std::random_device {}();
};

enum class Outcome
{
    acknowledged,
    killed,
    failed,
};

struct Run
{
    Outcome outcome;
    double milliseconds;
};

// Runs the command line, killing it after `killAfter` when given. stdout is dropped,
// stderr goes to `errorFile`.
Run runCli(const std::vector<std::string>& arguments,
    const fs::path& errorFile,
    std::optional<std::chrono::microseconds> killAfter)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions,
        STDERR_FILENO,
        errorFile.c_str(),
        O_WRONLY | O_CREAT | O_TRUNC,
        0644);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return { Outcome::failed, 0 };
    if (killAfter) {
        std::this_thread::sleep_for(*killAfter);
        ::kill(pid, SIGKILL); // not waited for yet: still ours, even if it has ended
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return { Outcome::killed, ms };
    return { WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::acknowledged : Outcome::failed, ms };
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string valueOf(int entry, int sequence)
{
    return "w" + std::to_string(entry) + "-" + std::to_string(sequence);
}

// What one writer did to its entry.
struct WriterLog
{
    int lastAcknowledged = 0; // 0: none yet (the entry holds its start value)
    std::vector<int> unacknowledgedSince; // attempts after it that were not acknowledged
    int runs = 0;
    int acknowledged = 0;
    int killed = 0;
    int failed = 0;
    std::string firstFailure;
};

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--cli")
            options.cli = value;
        else if (name == "--kills")
            options.kills = std::atoi(value.c_str());
        else if (name == "--writers")
            options.writers = std::atoi(value.c_str());
        else if (name == "--seed")
            options.seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || options.cli.empty() || options.kills < 1 || options.writers < 1)
        return std::nullopt;
    return options;
}

std::vector<std::string> leftovers(const fs::path& folder, const fs::path& config)
{
    std::vector<std::string> found;
    for (const auto& item : fs::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (name.starts_with(config.filename().string() + "."))
            found.push_back(name);
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: kill_storm --cli PATH [--kills N] [--writers N] [--seed N]\n";
        return 2;
    }
    char folderTemplate[] = "/tmp/kx-kill-storm-XXXXXX";
    if (!::mkdtemp(folderTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    const fs::path config = folder / "Kalmotex.ini";
    {
        std::string names = "[Name]\r\n", crypts = "[Crypt]\r\n", texts = "[Text]\r\n";
        for (int entry = 1; entry <= options->writers; ++entry) {
            const std::string key = std::to_string(entry) + "=";
            names += key + "Eintrag " + std::to_string(entry) + "\r\n";
            crypts += key + "0\r\n";
            texts += key + valueOf(entry, 0) + "\r\n";
        }
        std::ofstream(config, std::ios::binary) << names << crypts << texts;
    }

    std::atomic<int> kills = 0;
    std::vector<WriterLog> logs(static_cast<std::size_t>(options->writers));
    const auto start = Clock::now();
    std::vector<std::thread> writers;
    for (int entry = 1; entry <= options->writers; ++entry) {
        writers.emplace_back([&, entry] {
            WriterLog& log = logs[static_cast<std::size_t>(entry - 1)];
            std::mt19937 random(options->seed + static_cast<unsigned>(entry));
            const fs::path errorFile = folder / ("stderr-" + std::to_string(entry));
            double typicalMs = 0; // of a run that was not killed
            for (int sequence = 1; kills.load() < options->kills; ++sequence) {
                // Every second run is killed, at a moment anywhere in a typical run's time.
                std::optional<std::chrono::microseconds> killAfter;
                if (typicalMs > 0 && random() % 2 == 0) {
                    std::uniform_real_distribution<double> moment(0, 1.2 * typicalMs * 1000);
                    killAfter = std::chrono::microseconds(static_cast<long>(moment(random)));
                }
                const Run run = runCli({ options->cli,
                                           "--config",
                                           config.string(),
                                           "set",
                                           std::to_string(entry),
                                           "text",
                                           valueOf(entry, sequence) },
                    errorFile,
                    killAfter);
                ++log.runs;
                switch (run.outcome) {
                case Outcome::acknowledged:
                    ++log.acknowledged;
                    log.lastAcknowledged = sequence;
                    log.unacknowledgedSince.clear();
                    break;
                case Outcome::killed:
                    ++log.killed;
                    ++kills;
                    log.unacknowledgedSince.push_back(sequence);
                    break;
                case Outcome::failed:
                    ++log.failed;
                    log.unacknowledgedSince.push_back(sequence);
                    if (log.firstFailure.empty())
                        log.firstFailure = readText(errorFile);
                    break;
                }
                if (run.outcome != Outcome::killed)
                    typicalMs = typicalMs == 0 ? run.milliseconds : 0.9 * typicalMs + 0.1 * run.milliseconds;
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    int problems = 0;
    const auto problem = [&problems](const std::string& text) {
        std::cout << "PROBLEM: " << text << '\n';
        ++problems;
    };
    // The file reads, through the tool as a user would run it.
    const fs::path listError = folder / "stderr-list";
    if (runCli({ options->cli, "--config", config.string(), "list" }, listError, std::nullopt).outcome
        != Outcome::acknowledged)
        problem("kalmotex-cli list fails: " + readText(listError));
    kx::config::IniFile ini(config);
    int runs = 0, acknowledged = 0, failed = 0;
    for (int entry = 1; entry <= options->writers; ++entry) {
        const WriterLog& log = logs[static_cast<std::size_t>(entry - 1)];
        runs += log.runs;
        acknowledged += log.acknowledged;
        failed += log.failed;
        if (!log.firstFailure.empty())
            problem("entry " + std::to_string(entry) + ": a write failed: " + log.firstFailure);
        if (ini.read("Name", std::to_string(entry)) != "Eintrag " + std::to_string(entry))
            problem("entry " + std::to_string(entry) + ": its name is lost");
        const auto value = ini.read("Text", std::to_string(entry));
        bool expected = value == valueOf(entry, log.lastAcknowledged);
        for (const int sequence : log.unacknowledgedSince)
            expected = expected || value == valueOf(entry, sequence);
        if (!expected)
            problem("entry " + std::to_string(entry) + " holds '" + value.value_or("(nothing)")
                + "', its last acknowledged write was '" + valueOf(entry, log.lastAcknowledged) + "'");
    }

    // Whatever was left behind does not block the next write, which clears it.
    const fs::path lastError = folder / "stderr-last";
    if (runCli({ options->cli, "--config", config.string(), "set", "1", "text", "danach" },
            lastError,
            std::nullopt)
            .outcome
        != Outcome::acknowledged)
        problem("the write after the storm fails: " + readText(lastError));
    for (const std::string& name : leftovers(folder, config))
        problem("left behind after the next write: " + name);

    std::cout << "kill storm: " << kills.load() << " kills, " << runs << " runs of kalmotex-cli by "
              << options->writers << " writers, " << acknowledged << " acknowledged, " << failed
              << " failed, in " << seconds << " s (seed " << options->seed << ")\n";
    if (problems > 0) {
        std::cout << problems << " problems; the files are kept in " << folder << '\n';
        return 1;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    std::cout << "the file reads, every acknowledged write is in it, nothing blocks the next write\n";
    return 0;
}
