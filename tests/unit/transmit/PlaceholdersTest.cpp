#include "transmit/Placeholders.h"
#include "support/GermanTimeLocale.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kx::transmit {
namespace {

// Saturday, 7 March 2026, 09:05:03, formatted in the German locale.
class PlaceholdersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_germanTime.active())
            << "the de_DE.UTF-8 locale is missing; scripts/bootstrap generates it";
    }

    std::string expand(const std::string& text) { return expandPlaceholders(text, m_clock); }
    std::string placeholder(const std::filesystem::path& file, const char* word = "%datei=")
    {
        return word + file.string() + "%";
    }
    std::string missing(const std::filesystem::path& file)
    {
        return "\r*** [Kalmotex]: Konnte Datei '" + file.string() + "' nicht finden! ***\r";
    }

    FixedClock m_clock { 2026, 3, 7, 9, 5, 3 };
    test::TempDir m_dir;
    test::GermanTimeLocale m_germanTime;
};

TEST_F(PlaceholdersTest, replacesDateAndTimeInAnyCase)
{
    const std::pair<const char*, const char*> cases[] = {
        { "%zeit%", "09:05:03" },
        { "%Datum%|%DATUM%|%datum%", "07.03.2026|07.03.2026|07.03.2026" },
        { "Um %stunde%.%minute% Uhr", "Um 09.05 Uhr" },
        { "%Sekunde%", "03" },
        { "%tag%.%monat%.%jahr%", "07.03.2026" },
        { "%WOCHENTAG%", "Samstag" },
        { "%%jahr%%", "%2026%" },
        { "%foo% 50% %zeit", "%foo% 50% %zeit" },
        { "ohne Platzhalter\r\t", "ohne Platzhalter\r\t" },
    };
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(expand(text), expanded) << text;
}

TEST_F(PlaceholdersTest, insertsFilesByTheirExactNameDecodedLikeTheConfiguration)
{
    const auto lines = m_dir.write("t.txt", "A\r\nB\r\n");
    const auto lower = m_dir.write("a.txt", "klein");
    const auto upper = m_dir.write("A.txt", "GROSS");
    const auto empty = m_dir.write("empty.txt", "");
    const auto legacy = m_dir.write("legacy.txt", "Gr\xfc\xdf");
    const auto utf8 = m_dir.write("utf8.txt", "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f");
    const auto self = m_dir.write("self.txt", "%jahr% " + placeholder(m_dir.file("self.txt")));
    const auto gone = m_dir.file("missing.txt");
    const std::pair<std::string, std::string> cases[] = {
        { "<" + placeholder(lines, "%Datei=") + ">", "<A\rB\r>" }, // line feeds removed
        { "x" + placeholder(gone) + "y", "x" + missing(gone) + "y" },
        { "%datei=%", missing("") },
        // Date and time inside the contents are expanded, file placeholders are not.
        { placeholder(self), "2026 " + placeholder(self) },
        { placeholder(lower) + "-" + placeholder(lower, "%DATEI=") + "-" + placeholder(upper),
            "klein-klein-GROSS" },
        // Placeholders that follow closely, after both shorter and longer contents.
        { placeholder(empty) + placeholder(lower) + placeholder(empty) + placeholder(upper), "kleinGROSS" },
        { placeholder(lower) + " %jahr% %datei=" + lower.string(), "klein 2026 %datei=" + lower.string() },
        { placeholder(legacy) + "|" + placeholder(utf8), "Grüß|Grüß" },
    };
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(expand(text), expanded) << text;
}

TEST_F(PlaceholdersTest, treatsAnythingButARegularFileAsMissing)
{
    std::filesystem::create_directory(m_dir.file("folder"));
    EXPECT_EQ(expand(placeholder(m_dir.file("folder"))), missing(m_dir.file("folder")));
#ifndef _WIN32
    EXPECT_EQ(expand(placeholder("/dev/null")), missing("/dev/null"));
    // Opening a FIFO without a writer would block the send for ever.
    const auto fifo = m_dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(expand(placeholder(fifo)), missing(fifo));
#endif
}

// The clipboard holds "Ablage %jahr%"; "Name" is answered "Eva", "Ort" "Bonn".
TEST_F(PlaceholdersTest, expandsCursorClipboardQuestionsAndShiftedDatesInOnePass)
{
    const std::map<std::string, std::string> answers = { { "Name", "Eva" }, { "Ort", "Bonn" } };
    const PlaceholderInputs inputs { [] { return std::string("Ablage %jahr%"); },
        [&](const std::string& question) { return std::optional(answers.at(question)); } };
    const std::tuple<const char*, const char*, std::size_t> rows[] = {
        { "ab%cursor%cd", "abcd", 2 },
        { "a%CURSOR%b\r\n\tc%Cursor%d", "ab\r\n\tcd", 5 }, // CR LF counts once; only the first counts
        { "[%Zwischenablage%]", "[Ablage %jahr%]", 0 }, // inserted as it is
        { "%eingabe=Name% aus %EINGABE=Ort%, %eingabe=Name%", "Eva aus Bonn, Eva", 0 },
        { "%datum+1%|%DATUM-7%|%datum+00365%", "08.03.2026|28.02.2026|07.03.2027", 0 },
        { "%datum+%|%datum+x%|%datum+123456%|%cursorx%|%eingabe=%|%jahr%cursor%|%eingabe=Ort",
            "%datum+%|%datum+x%|%datum+123456%|%cursorx%|%eingabe=%|2026cursor%|%eingabe=Ort",
            0 },
    };
    for (const auto& [text, expected, charactersAfterCursor] : rows) {
        const std::optional<ExpandedText> expanded = expandPlaceholders(text, m_clock, inputs);
        ASSERT_TRUE(expanded) << text;
        EXPECT_EQ(expanded->text, expected) << text;
        EXPECT_EQ(expanded->charactersAfterCursor, charactersAfterCursor) << text;
    }
}

TEST_F(PlaceholdersTest, withoutInputsQuestionsStayAndClipboardAndCursorGiveNothing)
{
    EXPECT_EQ(expand("<%zwischenablage%|%eingabe=Name%|%cursor%>"), "<|%eingabe=Name%|>");
}

TEST_F(PlaceholdersTest, shiftedDatesCrossMonthYearAndLeapDays)
{
    const std::tuple<int, int, int, const char*, const char*> rows[] = {
        { 2024, 2, 28, "%datum+1%|%datum+2%", "29.02.2024|01.03.2024" },
        { 2024, 3, 1, "%datum-1%", "29.02.2024" },
        { 2100, 2, 28, "%datum+1%", "01.03.2100" },
        { 2000, 2, 28, "%datum+1%", "29.02.2000" },
        { 2026, 12, 31, "%datum+1%|%datum-30%", "01.01.2027|01.12.2026" },
        { 2024, 2, 29, "%datum+366%|%datum-366%", "01.03.2025|28.02.2023" },
    };
    for (const auto& [year, month, day, text, expanded] : rows)
        EXPECT_EQ(expandPlaceholders(text, FixedClock(year, month, day, 23, 59, 59)), expanded)
            << text << " from " << year << "-" << month << "-" << day;
}

} // namespace
} // namespace kx::transmit
