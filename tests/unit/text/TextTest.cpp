#include "text/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kx::text;

TEST(Utf8, invalidBytesBecomeOneReplacementCharacterEach)
{
    struct Row
    {
        const char* name;
        std::string bytes;
        std::u32string expected;
    };
    const std::vector<Row> rows = {
        { "ascii", "Abc", U"Abc" },
        { "umlaut", "\xC3\xA4", U"ä" },
        { "euro", "\xE2\x82\xAC", U"€" },
        { "emoji", "\xF0\x9F\x98\x80", U"\U0001F600" },
        { "lone continuation", "a\x80z", U"a\uFFFDz" },
        { "cut sequence",
            "\xE2\x82"
            "A",
            U"\uFFFD\uFFFDA" },
        { "overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD" },
        { "surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD" },
        { "above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD" },
        { "latin1 byte", "gr\xFC\xDF", U"gr\uFFFD\uFFFD" },
        { "nul kept", std::string("a\0b", 3), std::u32string(U"a\0b", 3) },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(toUtf32(row.bytes), row.expected) << row.name;
        const bool valid = row.expected.find(U'\uFFFD') == std::u32string::npos;
        EXPECT_EQ(isValidUtf8(row.bytes), valid) << row.name;
        if (valid) {
            EXPECT_EQ(toUtf8(row.expected), row.bytes) << row.name;
        }
    }
}

TEST(Utf8, encodingASurrogateOrOutOfRangeValueGivesReplacementCharacter)
{
    EXPECT_EQ(toUtf8(char32_t(0xD800)), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(char32_t(0x110000)), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(char32_t(0x10FFFF)), "\xF4\x8F\xBF\xBF");
}

TEST(CaseMapping, mapsOneCodePointAtATime)
{
    struct Row
    {
        char32_t lower;
        char32_t upper;
    };
    // Pairs that map both ways.
    const std::vector<Row> rows = {
        { U'a', U'A' },
        { U'ä', U'Ä' },
        { U'ö', U'Ö' },
        { U'ü', U'Ü' },
        { U'é', U'É' },
        { U'ÿ', U'Ÿ' },
        { U'œ', U'Œ' },
        { U'š', U'Š' },
        { U'α', U'Α' },
        { U'ω', U'Ω' },
        { U'ж', U'Ж' },
        { U'я', U'Я' },
        { U'ё', U'Ё' },
        { U'ա', U'Ա' },
        { U'ǆ', U'Ǆ' },
        { 0x10428, 0x10400 }, // Deseret, outside the basic plane
    };
    for (const Row& row : rows) {
        EXPECT_EQ(upperCase(row.lower), row.upper) << std::hex << unsigned(row.lower);
        EXPECT_EQ(lowerCase(row.upper), row.lower) << std::hex << unsigned(row.upper);
    }
    // One-way and unchanged cases of the simple mapping.
    EXPECT_EQ(upperCase(U'ß'), U'ß');
    EXPECT_EQ(lowerCase(char32_t(0x1E9E)), U'ß');
    EXPECT_EQ(upperCase(U'ς'), U'Σ');
    EXPECT_EQ(upperCase(U'µ'), U'Μ');
    EXPECT_EQ(lowerCase(U'İ'), U'i');
    EXPECT_EQ(upperCase(U'ı'), U'I');
    EXPECT_EQ(upperCase(char32_t(0x1FB3)), char32_t(0x1FBC));
    EXPECT_EQ(upperCase(U'ǅ'), U'Ǆ');
    EXPECT_EQ(lowerCase(U'ǅ'), U'ǆ');
    EXPECT_EQ(upperCase(U'1'), U'1');
    EXPECT_EQ(upperCase(U'€'), U'€');
}

TEST(CaseMapping, stringsKeepTheirLengthInCodePoints)
{
    EXPECT_EQ(upperCase("Straße über Ölfeld, αβγ, привет"), "STRAßE ÜBER ÖLFELD, ΑΒΓ, ПРИВЕТ");
    EXPECT_EQ(lowerCase("ΣΊΣΥΦΟΣ ÄÖÜ"), "σίσυφοσ äöü");
    // Invalid bytes do not vanish: each becomes a replacement character.
    EXPECT_EQ(upperCase("a\xFF"), "A\xEF\xBF\xBD");
}

TEST(TrimSpaces, removesOnlySpacesAtBothEnds)
{
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimSpaces(""), "");
}

TEST(SortedList, ordersLikeAGermanListBox)
{
    const std::vector<std::string> sorted = {
        "!Wichtig",
        "_intern",
        "1 Eins",
        "10 Zehn",
        "2 Zwei",
        "apfel",
        "Apfel",
        "Äpfel",
        "Apfelmus",
        "Ärger",
        "Bank",
        "Bänke",
        "Bar",
        "Masse",
        "Maße",
        "Massen",
        "Öl",
        "Ozean",
        "Strasse",
        "Straße",
        "Straßen",
        "zu",
        "Zweig",
        "Ωmega",
        "Яблоко",
    };
    std::vector<std::string> shuffled(sorted.rbegin(), sorted.rend());
    std::rotate(shuffled.begin(), shuffled.begin() + 7, shuffled.end());
    std::sort(shuffled.begin(), shuffled.end(), [](const std::string& a, const std::string& b) {
        return compareForSortedList(a, b) < 0;
    });
    EXPECT_EQ(shuffled, sorted);
}

TEST(SortedList, ignoresCaseButKeepsADeterministicOrderForTies)
{
    EXPECT_LT(compareForSortedList("apfel", "BIRNE"), 0);
    EXPECT_GT(compareForSortedList("Birne", "apfel"), 0);
    EXPECT_LT(compareForSortedList("hallo", "Hallo"), 0);
    EXPECT_GT(compareForSortedList("Hallo", "hallo"), 0);
    EXPECT_EQ(compareForSortedList("Hallo", "Hallo"), 0);
    // Hyphens count only when the texts are otherwise equal.
    EXPECT_LT(compareForSortedList("coop", "co-op"), 0);
    EXPECT_LT(compareForSortedList("co-op", "cope"), 0);
    EXPECT_NE(compareForSortedList("a\xFF", "a\xFE"), 0);
}

TEST(Windows1252, everyByteSurvivesARoundTrip)
{
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string text = decodeWindows1252(byte);
        EXPECT_TRUE(isValidUtf8(text)) << b;
        EXPECT_EQ(toUtf32(text).size(), 1u) << b;
        EXPECT_EQ(windows1252Code(toUtf32(text)[0]), b) << b;
        EXPECT_EQ(encodeWindows1252(text), byte) << b;
    }
    EXPECT_EQ(decodeWindows1252("\x80\x81\x8D\x8F\x90\x9D\x9F"), "€\u0081\u008D\u008F\u0090\u009DŸ");
}

TEST(Windows1252, charactersWithoutACodeAreRefused)
{
    EXPECT_EQ(encodeWindows1252("Grüße €"),
        std::string("Gr\xFC\xDF"
                    "e \x80"));
    EXPECT_EQ(encodeWindows1252("Ω"), std::nullopt);
    EXPECT_EQ(encodeWindows1252("a\xFF"), std::nullopt);
    EXPECT_EQ(windows1252Code(U'Ω'), -1);
    EXPECT_EQ(windows1252Code(char32_t(0x0080)), -1);
}

TEST(FileText, decodesByByteOrderMarkThenValidityThenWindows1252)
{
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF[Name]\r\n1=\xC3\xBC"), "[Name]\r\n1=ü");
    EXPECT_EQ(decodeFileText("1=\xC3\xBC"), "1=ü");
    EXPECT_EQ(decodeFileText("1=\xFC"), "1=ü");
    EXPECT_EQ(decodeFileText("plain"), "plain");
    // Mixed: one invalid sequence makes the whole file Windows-1252.
    EXPECT_EQ(decodeFileText("\xC3\xBC \xFC"), "Ã¼ ü");
    // After a byte order mark, invalid bytes are replaced rather than reinterpreted.
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF\xFC"), "\uFFFD");
}
