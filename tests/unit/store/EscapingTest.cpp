#include "store/Escaping.h"

#include <gtest/gtest.h>

#include <string>

using kx::store::escapeText;
using kx::store::unescapeText;

namespace {

TEST(Escaping, storesControlCharactersAsBackslashLetters)
{
    EXPECT_EQ(escapeText("\\\r\t\""), "\\\\\\N\\T\\H");
    EXPECT_EQ(escapeText("a\r\nb"), "a\\N\\Lb");
    EXPECT_EQ(escapeText("Grüße €"), "Grüße €");
    EXPECT_EQ(escapeText(""), "");
}

TEST(Escaping, unescapesLettersInEitherCaseAndRepairsMalformedText)
{
    const struct
    {
        const char* stored;
        const char* plain;
    } cases[] = {
        { "\\t\\n\\l\\h", "\t\r\n\"" },
        { "\\T\\N\\L\\H", "\t\r\n\"" },
        { "\\x", "x" },
        { "\\X", "X" },
        { "abc\\", "abc" },
        { "\\\\\\n", "\\\r" }, // three backslashes: one, then the escape the third starts
        { "\\\\\\", "\\" },
        { "\\ä", "ä" },
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(unescapeText(c.stored), c.plain) << "stored: " << c.stored;
}

TEST(Escaping, roundTripsEveryByteAndMixedText)
{
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte += static_cast<char>(c);
    EXPECT_EQ(unescapeText(escapeText(everyByte)), everyByte);

    const std::string mixed = "C:\\Temp\\new\\\"Zitat\"\r\n\tEnde\\";
    const std::string stored = escapeText(mixed);
    EXPECT_EQ(stored.find_first_of("\r\n\t\""), std::string::npos);
    EXPECT_EQ(unescapeText(stored), mixed);
}

} // namespace
