#include "transmit/KeystrokeEncoding.h"

#include <gtest/gtest.h>

namespace kx::transmit {
namespace {

struct EncodingCase
{
    const char* name;
    const char* text;
    const char* keys;
};

void PrintTo(const EncodingCase& row, std::ostream* out) { *out << row.name; }

const EncodingCase encodingCases[] = {
    { "plus", "a+b=c", "a{+}b=c" },
    { "percent", "50%", "50{%}" },
    { "parentheses", "(x)", "{(}x{)}" },
    { "braces", "{x}", "{{}x{}}" },
    { "brackets", "[1]", "{[}1{]}" },
    { "tilde", "~", "{~}" },
    { "caret", "^", "{^}" },
    { "at", "a@b", "a{@}b" },
    { "enterBetweenLines", "A\rB", "A~B" },
    { "tab", "x\ty", "x{TAB}y" },
    { "literalTabWord", "{TAB}", "{{}TAB{}}" },
    { "lineFeedPasses", "A\nB", "A\nB" },
    { "empty", "", "" },
    { "nonAsciiPasses", "Grüße €", "Grüße €" },
    { "allSpecialsInOrder", "~+^%()[]{}", "{~}{+}{^}{%}{(}{)}{[}{]}{{}{}}" },
};

class EncodeKeystrokesTest : public testing::TestWithParam<EncodingCase>
{
};

TEST_P(EncodeKeystrokesTest, producesTheKeystrokeString)
{
    std::string text = GetParam().text;
    text = encodeKeystrokes(text);
    EXPECT_EQ(text, GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(Examples,
    EncodeKeystrokesTest,
    testing::ValuesIn(encodingCases),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace kx::transmit
