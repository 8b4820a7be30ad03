#include "transmit/Placeholders.h"
#include "support/GermanTimeLocale.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
    const auto legacy = m_dir.write("legacy.txt",
        "Gr\xfc\xdf"
        "e");
    const auto utf8 = m_dir.write("utf8.txt",
        "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f"
        "e");
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
        { placeholder(legacy) + "|" + placeholder(utf8), "Grüße|Grüße" },
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

// The clipboard holds "Ablage %jahr%"; "Name" is answered "Eva" and "Ort" "Bonn".
TEST_F(PlaceholdersTest, expandsCursorClipboardQuestionsAndShiftedDatesInOnePass)
{
    const std::map<std::string, std::string> answers = { { "Name", "Eva" }, { "Ort", "Bonn" } };
    const PlaceholderInputs inputs { [] { return std::string("Ablage %jahr%"); },
        [&](const std::string& question) { return std::optional(answers.at(question)); } };
    struct Row
    {
        const char* text;
        const char* expanded;
        std::size_t charactersAfterCursor;
    };
    const Row rows[] = {
        { "ab%cursor%cd", "abcd", 2 },
        { "%CURSOR%a\r\nb\tc", "a\r\nb\tc", 5 }, // CR LF is one character
        { "a%cursor%b%Cursor%c%cursor%", "abc", 2 }, // only the first one counts
        { "ende%cursor%", "ende", 0 },
        { "ohne", "ohne", 0 },
        { "[%Zwischenablage%|%ZWISCHENABLAGE%]", "[Ablage %jahr%|Ablage %jahr%]", 0 },
        { "%eingabe=Name% aus %EINGABE=Ort%, %Eingabe=Name%", "Eva aus Bonn, Eva", 0 },
        { "%eingabe=Name%%cursor% %jahr%", "Eva 2026", 5 },
        { "%datum+1%|%DATUM-7%|%datum+0%|%datum+00365%|%datum%",
            "08.03.2026|28.02.2026|07.03.2026|07.03.2027|07.03.2026",
            0 },
        // Not placeholders: they stay as written.
        { "%datum+%|%datum+x%|%datum*1%|%datum+123456%|%datum 1%",
            "%datum+%|%datum+x%|%datum*1%|%datum+123456%|%datum 1%",
            0 },
        { "%cursorx% %zwischen% %eingabe=% 5%", "%cursorx% %zwischen% %eingabe=% 5%", 0 },
        { "%jahr%cursor%", "2026cursor%", 0 }, // the closing "%" of %jahr% opens nothing
        { "%eingabe=Ort", "%eingabe=Ort", 0 },
    };
    for (const Row& row : rows) {
        const std::optional<ExpandedText> expanded = expandPlaceholders(row.text, m_clock, inputs);
        ASSERT_TRUE(expanded) << row.text;
        EXPECT_EQ(expanded->text, row.expanded) << row.text;
        EXPECT_EQ(expanded->charactersAfterCursor, row.charactersAfterCursor) << row.text;
    }
}

TEST_F(PlaceholdersTest, asksEachDistinctQuestionOnceInOrderAndACancelCancelsTheText)
{
    std::vector<std::string> asked;
    bool clipboardRead = false;
    const PlaceholderInputs inputs { [&] {
                                        clipboardRead = true;
                                        return std::string();
                                    },
        [&](const std::string& question) -> std::optional<std::string> {
            asked.push_back(question);
            if (question == "Abbrechen?")
                return std::nullopt;
            return "";
        } };

    const auto answered
        = expandPlaceholders("%eingabe=Wer?%%eingabe=Wann?%%eingabe=Wer?%%eingabe=wer?%", m_clock, inputs);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->text, "");
    EXPECT_EQ(asked, (std::vector<std::string> { "Wer?", "Wann?", "wer?" }));

    asked.clear();
    EXPECT_FALSE(expandPlaceholders("%zwischenablage%%eingabe=Abbrechen?%%eingabe=Danach%", m_clock, inputs));
    EXPECT_EQ(asked, std::vector<std::string> { "Abbrechen?" });
    EXPECT_FALSE(clipboardRead);
}

TEST_F(PlaceholdersTest, withoutInputsQuestionsStayAndClipboardAndCursorGiveNothing)
{
    EXPECT_EQ(expand("<%zwischenablage%|%eingabe=Name%|%cursor%>"), "<|%eingabe=Name%|>");
}

TEST_F(PlaceholdersTest, shiftedDatesCrossMonthYearAndLeapDays)
{
    struct Row
    {
        int year, month, day;
        const char* text;
        const char* expanded;
    };
    const Row rows[] = {
        { 2024, 2, 28, "%datum+1%", "29.02.2024" },
        { 2024, 2, 28, "%datum+2%", "01.03.2024" },
        { 2024, 3, 1, "%datum-1%", "29.02.2024" },
        { 2023, 3, 1, "%datum-1%", "28.02.2023" },
        { 2100, 2, 28, "%datum+1%", "01.03.2100" },
        { 2000, 2, 28, "%datum+1%", "29.02.2000" },
        { 2026, 12, 31, "%datum+1%", "01.01.2027" },
        { 2027, 1, 1, "%datum-1%", "31.12.2026" },
        { 2026, 1, 31, "%datum+30%", "02.03.2026" },
        { 2024, 2, 29, "%datum+366%|%datum-366%", "01.03.2025|28.02.2023" },
        { 2026, 3, 29, "%datum+1% %wochentag%", "30.03.2026 Sonntag" }, // across the clock change
    };
    for (const Row& row : rows) {
        const FixedClock clock(row.year, row.month, row.day, 23, 59, 59);
        EXPECT_EQ(expandPlaceholders(row.text, clock), row.expanded)
            << row.text << " on " << row.day << "." << row.month << "." << row.year;
    }
}

} // namespace
} // namespace kx::transmit
