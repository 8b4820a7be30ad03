// Expansion, encoding and parsing of the longest text an entry can hold: 32,766 characters
// with 500 placeholders and 2,000 characters special to the keystroke syntax.
#include "support/TempDir.h"
#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/KeystrokeParser.h"
#include "transmit/Placeholders.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace kx;

namespace {

constexpr std::size_t textLength = 32766;
constexpr int placeholderCount = 500;
constexpr int specialCount = 2000;
constexpr int runs = 50;

std::u32string buildText(const test::TempDir& dir)
{
    const std::string shortFile
        = "%datei=" + dir.write("kurz.txt", "Zeile eins\r\nZeile zwei\r\n").string() + "%";
    const std::string stampFile
        = "%datei=" + dir.write("stempel.txt", "Stand: %datum% %zeit%\r\n").string() + "%";
    const std::vector<std::string> placeholders = { "%zeit%",
        "%stunde%",
        "%MINUTE%",
        "%sekunde%",
        "%Datum%",
        "%tag%",
        "%wochentag%",
        "%monat%",
        "%jahr%",
        shortFile,
        stampFile,
        "%datei=/nicht/vorhanden.txt%" };
    const std::u32string specials = U"~+^%()[]{}@\r\t";
    const std::u32string filler = U"Sehr geehrte Damen und Herren, anbei die Unterlagen für Müller & Söhne. ";

    std::vector<std::u32string> tokens;
    std::size_t length = 0;
    for (int i = 0; i < placeholderCount; ++i) {
        tokens.push_back(text::toUtf32(placeholders[static_cast<std::size_t>(i) % placeholders.size()]));
        length += tokens.back().size();
    }
    for (int i = 0; i < specialCount; ++i)
        tokens.emplace_back(1, specials[static_cast<std::size_t>(i) % specials.size()]);
    length += specialCount;
    for (std::size_t i = 0; length < textLength; ++i, ++length)
        tokens.emplace_back(1, filler[i % filler.size()]);
    // Keep each token whole but scatter them; a fixed seed keeps runs comparable.
    std::mt19937 random(7);
    std::shuffle(tokens.begin(), tokens.end(), random);
    std::u32string text;
    for (const auto& token : tokens)
        text += token;
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    std::setlocale(LC_TIME, "");
    test::TempDir dir;
    const std::u32string text = buildText(dir);
    const std::string original = text::toUtf8(text);
    const transmit::SystemClock clock;

    std::vector<double> expandMs, encodeMs, parseMs, totalMs;
    std::size_t keyCount = 0;
    std::size_t keysLength = 0;
    for (int run = 0; run < runs; ++run) {
        using Clock = std::chrono::steady_clock;
        std::string sendText = original;
        const auto start = Clock::now();
        sendText = transmit::expandPlaceholders(sendText, clock);
        const auto expanded = Clock::now();
        sendText = transmit::encodeKeystrokes(sendText);
        const auto encoded = Clock::now();
        const transmit::KeystrokeParse parsed = transmit::parseKeystrokes(sendText);
        const auto done = Clock::now();
        if (!parsed.ok()) {
            std::fprintf(stderr,
                "bench_transmit: the encoded text did not parse: %s\n",
                parsed.error.c_str());
            return 1;
        }
        keyCount = parsed.strokes.size();
        keysLength = sendText.size();
        const auto ms
            = [](auto from, auto to) { return std::chrono::duration<double, std::milli>(to - from).count(); };
        expandMs.push_back(ms(start, expanded));
        encodeMs.push_back(ms(expanded, encoded));
        parseMs.push_back(ms(encoded, done));
        totalMs.push_back(ms(start, done));
    }

    std::printf("text: %zu characters, %d placeholders, %d special characters\n",
        text.size(),
        placeholderCount,
        specialCount);
    std::printf("result: %zu bytes of keystroke string, %zu key actions\n", keysLength, keyCount);
    std::printf(
        "median of %d runs: expand %.3f ms, encode %.3f ms, parse %.3f ms, total %.3f ms (goal < 5 ms)\n",
        runs,
        median(expandMs),
        median(encodeMs),
        median(parseMs),
        median(totalMs));
    return 0;
}
