// The configuration file at its largest: 32,767 entries (names of about 20 characters,
// titles, texts of about 200 characters, every second one scrambled), read and written
// through the configuration access layer one value per call, as the program does.

#include "config/ConfigAccess.h"
#include "config/IniFile.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/Scrambling.h"
#include "store/TimeSeededRandom.h"
#include "text/Text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace kx;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kEntries = 32767;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Wall time and the process's processor time of one phase: on a busy machine the wall
// time includes waiting for a core, the processor time does not.
struct Phase
{
    Clock::time_point wall = Clock::now();
    std::clock_t cpu = std::clock();

    double wallMs() const { return millisecondsSince(wall); }
    double cpuMs() const { return 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

std::string words(std::mt19937& engine, std::size_t length)
{
    static const std::vector<std::string> vocabulary { "Grüße",
        "Anfrage",
        "Straße",
        "Rechnung",
        "bitte",
        "und",
        "der",
        "Größe",
        "Termin",
        "Büro",
        "Kunde",
        "wir",
        "über",
        "Angebot",
        "Lieferung" };
    std::uniform_int_distribution<std::size_t> index(0, vocabulary.size() - 1);
    std::string text;
    while (text::toUtf32(text).size() < length) {
        if (!text.empty())
            text += ' ';
        text += vocabulary[index(engine)];
    }
    return text;
}

// Writes the file directly, in the layout the program writes, Windows-1252 with CR LF.
void generate(const fs::path& file)
{
    std::mt19937 engine(32767);
    store::TimeSeededRandom random;
    std::string names = "[Name]\r\n", crypts = "[Crypt]\r\n", texts = "[Text]\r\n", titles = "[Title]\r\n",
                dosBoxes = "[DosBox]\r\n";
    for (int i = 1; i <= kEntries; ++i) {
        const std::string key = std::to_string(i) + "=";
        const bool scrambled = i % 2 == 0;
        const std::string plain = words(engine, 100) + "\r" + words(engine, 99);
        const std::string stored = store::escapeText(plain);
        names += key + "Baustein " + std::to_string(i) + " " + words(engine, 6) + "\r\n";
        crypts += key + (scrambled ? "1" : "0") + "\r\n";
        texts += key + (scrambled ? store::scrambleText(stored, true, random) : stored) + "\r\n";
        titles += key + "Dokument " + std::to_string(i % 50) + " - Editor\r\n";
        dosBoxes += key + "0\r\n";
    }
    const std::string all = names + crypts + texts + titles + dosBoxes
        + "[Common]\r\nSortNames=1\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n";
    const auto bytes = text::encodeWindows1252(all);
    std::ofstream(file, std::ios::binary).write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

void report(const char* what, double wallMs, double cpuMs, double goalMs)
{
    std::printf("%-58s %9.2f ms (cpu %.2f ms)  goal < %.0f ms%s\n",
        what,
        wallMs,
        cpuMs,
        goalMs,
        wallMs < goalMs ? "" : "  MISSED");
}

} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path()
        / ("kx-bench-config-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(folder);
    const fs::path file = folder / "Kalmotex.ini";
    generate(file);
    // As at the program's start: the file was not written a moment ago (the access layer
    // compares contents while a file's time stamp is too fresh to tell changes apart).
    fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
    std::printf("configuration: %d entries, %.1f MB\n",
        kEntries,
        static_cast<double>(fs::file_size(file)) / 1e6);

    config::ConfigAccess config(file.string());
    store::TimeSeededRandom random;
    store::EntryStore entries(config, random);

    Phase phase;
    config.readIniString("Name", "1", "");
    const double parseMs = phase.wallMs(), parseCpuMs = phase.cpuMs();

    // A fresh access layer, so the parse counts as it does at the program's start.
    config::ConfigAccess startConfig(file.string());
    store::EntryStore startEntries(startConfig, random);
    phase = Phase {};
    const auto list = startEntries.enumerateEntries();
    const double enumerateMs = phase.wallMs(), enumerateCpuMs = phase.cpuMs();

    phase = Phase {};
    std::size_t characters = 0;
    for (const auto& item : list)
        characters += entries.readEntry(item.number).text.size();
    const double readMs = phase.wallMs(), readCpuMs = phase.cpuMs();

    // How much of (b) is unscrambling rather than file access.
    std::vector<std::string> scrambledTexts;
    for (int i = 2; i <= kEntries; i += 2)
        scrambledTexts.push_back(config.readIniString("Text", std::to_string(i), ""));
    phase = Phase {};
    for (const auto& text : scrambledTexts)
        characters += store::scrambleText(text, false, random).size();
    const double unscrambleCpuMs = phase.cpuMs();

    std::vector<double> writes, writesCpu;
    for (int i = 0; i < 100; ++i) {
        const std::string key = std::to_string(1 + i * 300);
        phase = Phase {};
        static_cast<void>(config.writeIniString("Title", key, "Neuer Titel " + std::to_string(i)));
        writes.push_back(phase.wallMs());
        writesCpu.push_back(phase.cpuMs());
    }
    std::sort(writes.begin(), writes.end());
    std::sort(writesCpu.begin(), writesCpu.end());

    // What syncing to disk costs a write: the same writes with it switched off, on this
    // file and on one of a typical size.
    const auto writeMedian = [](config::IniFile& ini, const std::string& value) {
        std::vector<double> times;
        for (int i = 0; i < 100; ++i) {
            const Clock::time_point start = Clock::now();
            ini.write("Title", std::to_string(1 + i * 300), value + std::to_string(i));
            times.push_back(millisecondsSince(start));
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    config::IniFile unsynced(file);
    unsynced.setSyncToDisk(false);
    const double largeUnsyncedMs = writeMedian(unsynced, "Titel ohne Sync ");
    const fs::path small = folder / "small.ini";
    std::ofstream(small, std::ios::binary) << "[Name]\r\n1=Gruss\r\n[Title]\r\n"
                                           << std::string(4000, ';') << "\r\n";
    config::IniFile smallSynced(small);
    config::IniFile smallUnsynced(small);
    smallUnsynced.setSyncToDisk(false);
    const double smallSyncedMs = writeMedian(smallSynced, "Titel ");
    const double smallUnsyncedMs = writeMedian(smallUnsynced, "Titel ohne Sync ");

    if (list.size() != static_cast<std::size_t>(kEntries) || characters == 0)
        std::printf("unexpected: %zu entries enumerated\n", list.size());
    report("(a) enumerate names and titles (2n+1 reads, first parse)", enumerateMs, enumerateCpuMs, 150);
    std::printf("    of which parsing the file once: %.2f ms (cpu %.2f ms)\n", parseMs, parseCpuMs);
    report("(b) readEntry of every entry (5 reads each)", readMs, readCpuMs, 400);
    std::printf("    of which unscrambling %zu texts: cpu %.2f ms\n", scrambledTexts.size(), unscrambleCpuMs);
    report("(c) writeIniString, median of 100",
        writes[writes.size() / 2],
        writesCpu[writesCpu.size() / 2],
        15);
    std::printf("    writeIniString min %.2f ms, max %.2f ms\n", writes.front(), writes.back());
    std::printf("    the same without syncing to disk: median %.2f ms (sync costs %.2f ms a write)\n",
        largeUnsyncedMs,
        writes[writes.size() / 2] - largeUnsyncedMs);
    std::printf("(d) write to a 4 KB file, median of 100: %.2f ms synced, %.2f ms without (sync %.2f ms)\n",
        smallSyncedMs,
        smallUnsyncedMs,
        smallSyncedMs - smallUnsyncedMs);

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
