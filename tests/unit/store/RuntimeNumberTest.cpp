#include "store/RuntimeNumber.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>

using kx::store::parseRuntimeNumber;
using kx::store::roundToInt16;
using kx::store::roundToInt32;

namespace {

TEST(RuntimeNumber, readsTheLongestNumericPrefixDecimalHexadecimalOrOctal)
{
    const struct
    {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        { "", 0.0 },
        { "12abc", 12.0 },
        { "1 2 3", 123.0 },
        { "\t-\n4 . 5", -4.5 },
        { "1\r2", 1.0 }, // only blanks, tabs and line feeds are skipped
        { "1.2.3", 1.2 },
        { ".5", 0.5 },
        { "-.5", -0.5 },
        { "+7", 7.0 },
        { "--1", 0.0 },
        { "1.5E3", 1500.0 },
        { "2D2", 200.0 },
        { "2d-1", 0.2 },
        { "1E", 1.0 },
        { "1 e 2", 100.0 },
        { "1e-400", 0.0 },
        { "1e400", std::nullopt },
        { "12345e-400", 0.0 },
        // Hexadecimal and octal as the smallest integer type that holds them.
        { "&H3", 3.0 },
        { "&H8000", -32768.0 },
        { "&HFFFF", -1.0 },
        { "&H10000", 65536.0 },
        { "&HFFFFFFFF", -1.0 },
        { "&H123456789", std::nullopt },
        { "&H 1 F", 31.0 },
        { "&HFG", 15.0 },
        { "&O17", 15.0 },
        { "&o177777", -1.0 },
        { "&O8", 0.0 },
        { "&X1", 0.0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseRuntimeNumber(c.text), c.expected) << "text: \"" << c.text << '"';
}

TEST(RuntimeNumber, ignoresAGermanProcessLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no German locale installed";
    const auto half = parseRuntimeNumber("0.5");
    const auto exponent = parseRuntimeNumber("2.5e1");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(half, 0.5);
    EXPECT_EQ(exponent, 25.0);
}

TEST(Rounding, halvesGoToTheEvenNeighbourAndOutOfRangeGivesNothing)
{
    const struct
    {
        double value;
        std::optional<std::int16_t> expected;
    } cases16[] = {
        { 0.5, 0 },
        { 1.5, 2 },
        { 2.5, 2 },
        { -1.5, -2 },
        { -2.5, -2 },
        { 32767.4, 32767 },
        { 32767.5, std::nullopt },
        { -32768.5, -32768 },
        { -32768.6, std::nullopt },
    };
    for (const auto& c : cases16)
        EXPECT_EQ(roundToInt16(c.value), c.expected) << "value: " << c.value;

    const struct
    {
        double value;
        std::optional<std::int32_t> expected;
    } cases32[] = {
        { 2147483646.5, 2147483646 },
        { 2147483647.5, std::nullopt },
        { -2147483648.5, -2147483648 },
        { 1e12, std::nullopt },
    };
    for (const auto& c : cases32)
        EXPECT_EQ(roundToInt32(c.value), c.expected) << "value: " << c.value;
}

} // namespace
