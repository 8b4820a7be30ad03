#include "transmit/KeystrokeParser.h"
#include "platform/KeyStroke.h"
#include "transmit/KeystrokeEncoding.h"

#include <gtest/gtest.h>

namespace kx::transmit {
namespace {

// A string with a mistake types nothing.
TEST(ParseKeystrokes, typesTheExpectedKeysOrReportsWhereTheMistakeIs)
{
    const struct
    {
        const char* name;
        std::string keys;
        std::string typed; // as describeKeyStrokes writes it
        std::size_t mistakeAt = 0;
    } cases[] = {
        { "plain characters", "abc", "abc" },
        { "enter and tab", "A~B{TAB}C", "A<Enter>B<Tab>C" },
        { "console system menu", "% BE", "<Alt+Space>BE" },
        { "shift insert", "+{INSERT}", "<Shift+Insert>" },
        { "alt tab lower case", "%{tab}", "<Alt+Tab>" },
        { "braced specials", "{{}{}}{~}{+}{^}{%}{(}{)}{[}{]}{@}", "{}~+^%()[]@" },
        { "braced letter", "{a}", "a" },
        { "repeated character", "{a 3}", "aaa" },
        { "repeated closing brace", "{} 2}", "}}" },
        { "repeated space", "{  2}", "  " },
        { "repeated key", "{left 2}", "<Left><Left>" },
        { "zero repeats", "x{a 0}y", "xy" },
        { "counts up to 10000", "{x 10000}", std::string(10000, 'x') },
        { "combined modifiers", "^+a", "<Ctrl+Shift+a>" },
        { "modified group", "+(ab)c", "<Shift+a><Shift+b>c" },
        { "nested groups", "^(a+(b))", "<Ctrl+a><Ctrl+Shift+b>" },
        { "sixteen nested groups", std::string(16, '(') + "a" + std::string(16, ')'), "a" },
        { "empty group", "x+()y", "xy" },
        { "modified repeat", "+{RIGHT 2}", "<Shift+Right><Shift+Right>" },
        { "unicode", "ä€𝄞", "ä€𝄞" },
        { "line feed is a character", "a\nb", "a\nb" },
        { "empty", "", "" },
        // Mistakes: where they are, in characters from 1.
        { "closing brace outside", "a}b", "", 2 },
        { "unknown key name", "ab{FOO}", "", 4 },
        { "missing closing brace", "x{TAB", "", 2 },
        { "lone opening brace", "{", "", 1 },
        { "empty braces", "{}", "", 1 },
        { "repeated modifier", "a++b", "", 3 },
        { "modifier repeated inside group", "+(+a)", "", 3 },
        { "unclosed group", "x(ab", "", 2 },
        { "unopened group", "ab)", "", 3 },
        { "modifier at end", "a^", "", 2 },
        { "modifier before group end", "(a%)", "", 3 },
        { "count not a number", "{a x}", "", 4 },
        { "count above 10000", "{a 10001}", "", 4 },
        { "count of six digits", "{a 000001}", "", 4 },
        { "unknown key name with a symbol", "{TAB~}", "", 2 },
        { "count missing", "{a }", "", 4 },
        { "count with sign", "{a -1}", "", 4 },
        { "too deeply nested", std::string(17, '(') + "a" + std::string(17, ')'), "", 17 },
    };
    for (const auto& c : cases) {
        const KeystrokeParse parsed = parseKeystrokes(c.keys);
        EXPECT_EQ(parsed.ok(), c.mistakeAt == 0) << c.name << ": " << parsed.error;
        EXPECT_EQ(parsed.errorPosition, c.mistakeAt) << c.name << ": " << parsed.error;
        EXPECT_EQ(platform::describeKeyStrokes(parsed.strokes), c.typed) << c.name;
    }
}

TEST(ParseKeystrokes, knowsEveryKeyNameInAnyCase)
{
    const KeystrokeParse parsed
        = parseKeystrokes("{BACKSPACE}{bs}{BkSp}{BREAK}{CAPSLOCK}{CLEAR}{DELETE}{del}{DOWN}"
                          "{END}{ENTER}{ESC}{Escape}{HELP}{HOME}{INSERT}{ins}{LEFT}"
                          "{NUMLOCK}{PGDN}{PGUP}{PRTSC}{RIGHT}{SCROLLLOCK}{tab}{UP}{F1}"
                          "{f9}{F16}{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}");
    ASSERT_TRUE(parsed.ok()) << parsed.error << " at " << parsed.errorPosition;
    EXPECT_EQ(platform::describeKeyStrokes(parsed.strokes),
        "<Backspace><Backspace><Backspace><Break><CapsLock><Clear><Delete><Delete><Down><End><Enter>"
        "<Esc><Esc><Help><Home><Insert><Insert><Left><NumLock><PageDown><PageUp><PrtSc><Right><ScrollLock>"
        "<Tab><Up><F1><F9><F16><Add><Subtract><Multiply><Divide>");
}

// That the encoded text types exactly the text: the fuzz target keystroke_parser.
TEST(EncodeKeystrokes, wrapsEachSpecialCharacterAndWritesCrAndTabAsKeys)
{
    const struct
    {
        const char* name;
        const char* text;
        const char* keys;
    } cases[] = {
        { "all specials in order", "~+^%()[]{}@", "{~}{+}{^}{%}{(}{)}{[}{]}{{}{}}{@}" },
        { "enter between lines", "A\rB", "A~B" },
        { "tab", "x\ty", "x{TAB}y" },
        { "literal tab word", "{TAB}", "{{}TAB{}}" },
        { "line feed passes", "A\nB", "A\nB" },
        { "empty", "", "" },
        { "non-ascii passes", "Grüße €", "Grüße €" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeKeystrokes(c.text), c.keys) << c.name;
}

} // namespace
} // namespace kx::transmit
