// The configuration file at its largest: 32,767 entries (names of about 20 characters,
// titles, texts of about 200 characters, every second one scrambled), read and written
// through the configuration access layer one value per call, as the program does.

#include "app/ConfigAccess.h"
#include "app/Text.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/Scrambling.h"
#include "store/TimeSeededRandom.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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
    while (app::toUtf32(text).size() < length) {
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
        const std::string stored = store::EscapeText(plain);
        names += key + "Baustein " + std::to_string(i) + " " + words(engine, 6) + "\r\n";
        crypts += key + (scrambled ? "1" : "0") + "\r\n";
        texts += key + (scrambled ? store::ScrambleText(stored, true, random) : stored) + "\r\n";
        titles += key + "Dokument " + std::to_string(i % 50) + " - Editor\r\n";
        dosBoxes += key + "0\r\n";
    }
    const std::string all = names + crypts + texts + titles + dosBoxes
        + "[Common]\r\nSortNames=1\r\n[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n";
    const auto bytes = app::encodeWindows1252(all);
    std::ofstream(file, std::ios::binary).write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

void report(const char* what, double value, double goal, const char* unit)
{
    std::printf("%-58s %9.2f %s  (goal < %.0f %s)%s\n",
        what,
        value,
        unit,
        goal,
        unit,
        value < goal ? "" : "  MISSED");
}

} // namespace

int main()
{
    const fs::path folder = fs::temp_directory_path()
        / ("kx-bench-config-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(folder);
    const fs::path file = folder / "Kalmotex.ini";
    generate(file);
    std::printf("configuration: %d entries, %.1f MB\n",
        kEntries,
        static_cast<double>(fs::file_size(file)) / 1e6);

    app::ConfigAccess config;
    store::TimeSeededRandom random;
    store::EntryStore entries(config, file.string(), random);

    auto start = Clock::now();
    const auto list = entries.enumerateEntries();
    const double enumerateMs = millisecondsSince(start);

    start = Clock::now();
    std::size_t characters = 0;
    for (const auto& item : list)
        characters += entries.readEntry(item.number).text.size();
    const double readMs = millisecondsSince(start);

    // How much of (b) is unscrambling rather than file access.
    std::vector<std::string> scrambledTexts;
    for (int i = 2; i <= kEntries; i += 2)
        scrambledTexts.push_back(config.readIniString("Text", std::to_string(i), "", ""));
    start = Clock::now();
    for (const auto& text : scrambledTexts)
        characters += store::ScrambleText(text, false, random).size();
    const double unscrambleMs = millisecondsSince(start);

    std::vector<double> writes;
    for (int i = 0; i < 100; ++i) {
        const std::string key = std::to_string(1 + i * 300);
        start = Clock::now();
        config.writeIniString("Title", key, "Neuer Titel " + std::to_string(i), file.string());
        writes.push_back(millisecondsSince(start));
    }
    std::sort(writes.begin(), writes.end());

    if (list.size() != static_cast<std::size_t>(kEntries) || characters == 0)
        std::printf("unexpected: %zu entries enumerated\n", list.size());
    report("(a) enumerate names and titles (2n+1 reads, first parse)", enumerateMs, 150, "ms");
    report("(b) readEntry of every entry (5 reads each)", readMs, 400, "ms");
    std::printf("    of which unscrambling %zu texts: %.2f ms\n", scrambledTexts.size(), unscrambleMs);
    report("(c) writeIniString, median of 100", writes[writes.size() / 2], 15, "ms");
    std::printf("    writeIniString min %.2f ms, max %.2f ms\n", writes.front(), writes.back());

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
