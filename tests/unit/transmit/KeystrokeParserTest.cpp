#include "transmit/KeystrokeParser.h"
#include "platform/KeyStroke.h"

#include <gtest/gtest.h>

namespace kx::transmit {
namespace {

using platform::NamedKey;

struct ParseCase
{
    const char* name;
    const char* keys;
    const char* typed; // as describeKeyStrokes writes it
};

void PrintTo(const ParseCase& row, std::ostream* out) { *out << row.name; }

const ParseCase parseCases[] = {
    { "plainCharacters", "abc", "abc" },
    { "enterAndTab", "A~B{TAB}C", "A<Enter>B<Tab>C" },
    { "consoleSystemMenu", "% BE", "<Alt+Space>BE" },
    { "shiftInsert", "+{INSERT}", "<Shift+Insert>" },
    { "altTabLowerCase", "%{tab}", "<Alt+Tab>" },
    { "bracedSpecials", "{{}{}}{~}{+}{^}{%}{(}{)}{[}{]}{@}", "{}~+^%()[]@" },
    { "bracedLetter", "{a}", "a" },
    { "repeatedCharacter", "{a 3}", "aaa" },
    { "repeatedClosingBrace", "{} 2}", "}}" },
    { "repeatedSpace", "{  2}", "  " },
    { "repeatedKey", "{left 2}", "<Left><Left>" },
    { "zeroRepeats", "x{a 0}y", "xy" },
    { "combinedModifiers", "^+a", "<Ctrl+Shift+a>" },
    { "modifiedGroup", "+(ab)c", "<Shift+a><Shift+b>c" },
    { "nestedGroups", "^(a+(b))", "<Ctrl+a><Ctrl+Shift+b>" },
    { "emptyGroup", "x+()y", "xy" },
    { "modifiedRepeat", "+{RIGHT 2}", "<Shift+Right><Shift+Right>" },
    { "unicode", "ä€𝄞", "ä€𝄞" },
    { "lineFeedIsACharacter", "a\nb", "a\nb" },
    { "empty", "", "" },
};

class ParseKeystrokesTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseKeystrokesTest, typesTheExpectedKeys)
{
    const KeystrokeParse parsed = parseKeystrokes(GetParam().keys);
    ASSERT_TRUE(parsed.ok()) << parsed.error << " at " << parsed.errorPosition;
    EXPECT_EQ(platform::describeKeyStrokes(parsed.strokes), GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(Examples, ParseKeystrokesTest, testing::ValuesIn(parseCases), [](const auto& row) {
    return std::string(row.param.name);
});

TEST(ParseKeystrokes, knowsEveryKeyNameInAnyCase)
{
    const KeystrokeParse parsed
        = parseKeystrokes("{BACKSPACE}{bs}{BkSp}{BREAK}{CAPSLOCK}{CLEAR}{DELETE}{del}{DOWN}"
                          "{END}{ENTER}{ESC}{Escape}{HELP}{HOME}{INSERT}{ins}{LEFT}"
                          "{NUMLOCK}{PGDN}{PGUP}{PRTSC}{RIGHT}{SCROLLLOCK}{tab}{UP}{F1}"
                          "{f9}{F16}{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}");
    ASSERT_TRUE(parsed.ok()) << parsed.error << " at " << parsed.errorPosition;
    EXPECT_EQ(platform::describeKeyStrokes(parsed.strokes),
        "<Backspace><Backspace><Backspace><Break><CapsLock><Clear><Delete><Delete><Down><End><Enter><Esc><"
        "Esc>"
        "<Help><Home><Insert><Insert><Left><NumLock><PageDown><PageUp><PrtSc><Right><ScrollLock><Tab><Up><F1>"
        "<F9><F16><Add><Subtract><Multiply><Divide>");
}

TEST(ParseKeystrokes, acceptsCountsUpTo10000)
{
    const KeystrokeParse parsed = parseKeystrokes("{x 10000}");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.strokes.size(), 10000u);
}

struct ErrorCase
{
    const char* name;
    std::string keys;
    std::size_t position;
};

void PrintTo(const ErrorCase& row, std::ostream* out) { *out << row.name; }

const ErrorCase errorCases[] = {
    { "closingBraceOutside", "a}b", 2 },
    { "unknownKeyName", "ab{FOO}", 4 },
    { "missingClosingBrace", "x{TAB", 2 },
    { "loneOpeningBrace", "{", 1 },
    { "emptyBraces", "{}", 1 },
    { "repeatedModifier", "a++b", 3 },
    { "modifierRepeatedInsideGroup", "+(+a)", 3 },
    { "unclosedGroup", "x(ab", 2 },
    { "unopenedGroup", "ab)", 3 },
    { "modifierAtEnd", "a^", 2 },
    { "modifierBeforeGroupEnd", "(a%)", 3 },
    { "countNotANumber", "{a x}", 4 },
    { "countAbove10000", "{a 10001}", 4 },
    { "countOfSixDigits", "{a 000001}", 4 },
    { "unknownKeyNameWithASymbol", "{TAB~}", 2 },
    { "countMissing", "{a }", 4 },
    { "countWithSign", "{a -1}", 4 },
    { "tooDeeplyNested", std::string(17, '(') + "a" + std::string(17, ')'), 17 },
};

class ParseKeystrokesErrorTest : public testing::TestWithParam<ErrorCase>
{
};

TEST_P(ParseKeystrokesErrorTest, reportsThePositionAndTypesNothing)
{
    const KeystrokeParse parsed = parseKeystrokes(GetParam().keys);
    EXPECT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.errorPosition, GetParam().position) << parsed.error;
    EXPECT_TRUE(parsed.strokes.empty());
}

INSTANTIATE_TEST_SUITE_P(Malformed,
    ParseKeystrokesErrorTest,
    testing::ValuesIn(errorCases),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ParseKeystrokes, acceptsSixteenNestedGroups)
{
    EXPECT_TRUE(parseKeystrokes(std::string(16, '(') + "a" + std::string(16, ')')).ok());
}

} // namespace
} // namespace kx::transmit
