#include "store/Scrambling.h"

#include "store/TimeSeededRandom.h"
#include "support/SequenceRandom.h"
#include "text/Text.h"

#include <gtest/gtest.h>

#include <string>

using kx::store::scrambleText;
using kx::test::SequenceRandom;

namespace {

std::string unscramble(const std::string& text)
{
    SequenceRandom unused({ 0.0 });
    return scrambleText(text, false, unused);
}

bool isUpperHex(const std::string& text)
{
    return text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// Vectors worked out by hand from the algorithm. Key 0xABCD: key bytes are
// round(43981 / 2) = 21990 (a half, kept even) -> 0xE6 and round(43981 / 4) = 10995 -> 0xF3.
TEST(Scrambling, scramblesWithTheDrawnKeyAndRandomNibbles)
{
    SequenceRandom random({ 43981.0 / 65536.0, 0.0, 0.0, 0.9375, 0.5 });
    // 'A' 0x41 ^ 0xE6 = 0xA7, 'b' 0x62 ^ 0xF3 = 0x91 with nibbles F and 8.
    EXPECT_EQ(scrambleText("Ab", true, random), "0A70F918ABCD");
    EXPECT_EQ(random.reseeds(), 1);

    SequenceRandom half({ 0.5 });
    EXPECT_EQ(scrambleText("", true, half), "8000");
}

TEST(Scrambling, unscramblesHandMadeVectors)
{
    const struct
    {
        const char* scrambled;
        const char* plain;
    } cases[] = {
        // "0A70F918ABCD" (also in lower case) and "7E630F7F5FC00003": EntryStoreTest.
        // Key 0xFFFF: 32767.5 rounds to 32768, so the first key byte is 0.
        { "0780FFFF", "x" },
        // Key 0x100: bytes 80 40 20 10 08 04 02, then 00 at position 8 (no shift), 80 again.
        { "0E1002100410071006900650063006100E100100", "aaaaaaaaa" },
        { "8000", "" },
        { "", "" },
        { "A", "" },
        { "ABCD", "" },
        { "0A7ZABCD", "ì" }, // the digits end at Z: 0x0A7 -> code 0x0A ^ 0xE6 = 0xEC
        { "0A7äABCD", "ì" }, // groups count characters, not bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(unscramble(c.scrambled), c.plain) << "scrambled: " << c.scrambled;
}

TEST(Scrambling, roundTripsAllWindows1252CodesWhateverTheRandomNumbers)
{
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        bytes += static_cast<char>(c);
    const std::string text = kx::text::decodeWindows1252(bytes);

    const std::vector<std::vector<double>> sequences = {
        { 0.0 },
        { 0.999999 },
        { 0.5, 0.25, 0.75 },
        { 32768.0 / 65536.0, 0.1, 0.9 },
        { 65535.0 / 65536.0, 0.3 },
    };
    for (const auto& numbers : sequences) {
        SequenceRandom random(numbers);
        const std::string scrambled = scrambleText(text, true, random);
        EXPECT_EQ(scrambled.size(), 4 * 256 + 4u);
        EXPECT_TRUE(isUpperHex(scrambled));
        EXPECT_EQ(unscramble(scrambled), text);
    }
}

TEST(Scrambling, scramblingTwiceGivesDifferentStringsForTheSameText)
{
    kx::store::TimeSeededRandom random;
    const std::string first = scrambleText("Geheimnis", true, random);
    const std::string second = scrambleText("Geheimnis", true, random);
    EXPECT_NE(first, second);
    EXPECT_EQ(unscramble(first), "Geheimnis");
    EXPECT_EQ(unscramble(second), "Geheimnis");
}

} // namespace
