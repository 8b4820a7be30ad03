#include "text/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kx::text;

TEST(Utf8, invalidBytesBecomeOneReplacementCharacterEach)
{
    const struct
    {
        const char* name;
        std::string bytes;
        std::u32string expected;
    } rows[] = {
        { "ascii", "Abc", U"Abc" },
        { "umlaut", "\xC3\xA4", U"ä" },
        { "euro", "\xE2\x82\xAC", U"€" },
        { "emoji", "\xF0\x9F\x98\x80", U"\U0001F600" },
        { "lone continuation", "a\x80z", U"a\uFFFDz" },
        { "cut sequence", "\xE2\x82z", U"\uFFFD\uFFFDz" },
        { "overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD" },
        { "overlong euro", "\xF0\x82\x82\xAC", U"\uFFFD\uFFFD\uFFFD\uFFFD" },
        { "surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD" },
        { "above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD" },
        { "latin1 byte", "gr\xFC\xDF", U"gr\uFFFD\uFFFD" },
        { "nul kept", std::string("a\0b", 3), std::u32string(U"a\0b", 3) },
    };
    for (const auto& row : rows) {
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
    // Pairs that map both ways, Deseret outside the basic plane last.
    const std::u32string lower = U"aäöüéÿœšαωжяёաǆ\U00010428";
    const std::u32string upper = U"AÄÖÜÉŸŒŠΑΩЖЯЁԱǄ\U00010400";
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 0; i < lower.size(); ++i) {
        EXPECT_EQ(upperCase(lower[i]), upper[i]) << std::hex << unsigned(lower[i]);
        EXPECT_EQ(lowerCase(upper[i]), lower[i]) << std::hex << unsigned(upper[i]);
    }
    // One-way and unchanged cases of the simple mapping, code point by code point.
    EXPECT_EQ(upperCase("ßςµı1€ǅ\u1FB3"), "ßΣΜI1€Ǆ\u1FBC");
    EXPECT_EQ(lowerCase("\u1E9EİǅÄ"), "ßiǆä");
}

TEST(CaseMapping, stringsKeepTheirLengthInCodePoints)
{
    EXPECT_EQ(upperCase("Straße über Ölfeld, αβγ, привет"), "STRAßE ÜBER ÖLFELD, ΑΒΓ, ПРИВЕТ");
    EXPECT_EQ(lowerCase("ΣΊΣΥΦΟΣ ÄÖÜ"), "σίσυφοσ äöü");
    EXPECT_EQ(upperCase("a\xFF"), "A\xEF\xBF\xBD");
}

TEST(TrimSpaces, removesOnlySpacesAtBothEnds)
{
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimSpaces(""), "");
}

TEST(SortedList, ordersLikeAGermanListBoxIgnoringCase)
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
        "coop", // hyphens count only when the texts are otherwise equal
        "co-op",
        "cope",
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

// Case is ignored, but texts that differ only in case or in invalid bytes never compare equal.
TEST(SortedList, tiesKeepADeterministicOrder)
{
    EXPECT_GT(compareForSortedList("Hallo", "hallo"), 0);
    EXPECT_EQ(compareForSortedList("Hallo", "Hallo"), 0);
    EXPECT_NE(compareForSortedList("a\xFF", "a\xFE"), 0);
}

TEST(SortedList, sortingAListGivesTheOrderOfThePairwiseComparison)
{
    const struct
    {
        const char* name;
        std::vector<std::string> texts;
    } rows[] = {
        { "case and diacritics", { "Äpfel", "apfel", "Apfel", "äpfel", "APFEL", "Apfelmus", "Äpfelchen" } },
        { "sharp s and ligatures",
            { "Straße", "Strasse", "STRASSE", "Straẞe", "Æra", "aera", "Œuvre", "oeuvre" } },
        { "hyphens and apostrophes", { "co-op", "coop", "co'op", "-", "", "cope", "co--op" } },
        { "prefixes and ties", { "a", "ab", "a", "A", "abc", "ab", "Ab", "b" } },
        { "symbols digits letters", { "z", "9", "!", " a", "a ", "€", "10", "1", "ä1", "_" } },
        { "invalid bytes", { "a\xFF", "a\xFE", "a", "a\xC3", "\xFF", "A\xFF" } },
        { "other scripts", { "Ωmega", "ωmega", "Яблоко", "яблоко", "Zweig", "ǅ", "ǆ", "Ǆ" } },
    };
    for (const auto& row : rows) {
        std::vector<std::string> expected = row.texts;
        std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
            return compareForSortedList(a, b) < 0;
        });
        const std::vector<std::string_view> views(row.texts.begin(), row.texts.end());
        std::vector<std::string> sorted;
        for (const std::size_t i : sortedListOrder(views))
            sorted.push_back(row.texts[i]);
        EXPECT_EQ(sorted, expected) << row.name;
    }
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
    EXPECT_EQ(encodeWindows1252("Grüß €"), std::string("Gr\xFC\xDF \x80"));
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
