#include "transmit/Placeholders.h"
#include "support/GermanTimeLocale.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>

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

} // namespace
} // namespace kx::transmit
