#include "backends/win32/KeyInputPlan.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kx::platform::win32 {
namespace {

// A German layout's answers for the few characters the cases use: "A" needs Shift, "@"
// AltGr (Ctrl+Alt), "€" AltGr too, "ß" is a key of its own.
KeyLayout germanLayout()
{
    return KeyLayout {
        [](wchar_t c) -> SHORT {
            if (c >= L'a' && c <= L'z')
                return static_cast<SHORT>(c - L'a' + 'A');
            if (c >= L'A' && c <= L'Z')
                return static_cast<SHORT>(0x100 | c);
            if (c == L' ')
                return VK_SPACE;
            if (c == L'@')
                return static_cast<SHORT>(0x600 | 'Q');
            if (c == L'ß')
                return VK_OEM_4;
            return -1;
        },
        [](WORD) -> WORD { return 0; },
    };
}

std::string vkName(WORD vk)
{
    const std::pair<WORD, const char*> names[] = { { VK_SHIFT, "Shift" },
        { VK_CONTROL, "Ctrl" },
        { VK_MENU, "Alt" },
        { VK_RETURN, "Enter" },
        { VK_TAB, "Tab" },
        { VK_BACK, "Backspace" },
        { VK_SPACE, "Space" },
        { VK_LEFT, "Left" },
        { VK_F12, "F12" } };
    for (const auto& [code, name] : names)
        if (code == vk)
            return name;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return std::string(1, static_cast<char>(vk));
    std::ostringstream out;
    out << "vk" << std::hex << vk;
    return out.str();
}

// The events as text: "+Shift +A -A -Shift" for keys (with "*" for extended ones),
// "u+41" / "u-41" for Unicode packets.
std::string describe(const std::vector<INPUT>& inputs)
{
    std::ostringstream out;
    for (const INPUT& input : inputs) {
        if (!out.str().empty())
            out << ' ';
        const bool up = input.ki.dwFlags & KEYEVENTF_KEYUP;
        if (input.ki.dwFlags & KEYEVENTF_UNICODE) {
            out << 'u' << (up ? '-' : '+') << std::hex << std::uppercase << input.ki.wScan << std::dec;
        } else {
            out << (up ? '-' : '+') << vkName(input.ki.wVk)
                << ((input.ki.dwFlags & KEYEVENTF_EXTENDEDKEY) ? "*" : "");
        }
    }
    return out.str();
}

using test::ch;
using test::named;

struct PlanCase
{
    const char* name;
    KeyStrokes strokes;
    const char* expected;
};

class KeyInputPlanCases : public ::testing::TestWithParam<PlanCase>
{
};

TEST_P(KeyInputPlanCases, typesTheStrokes)
{
    EXPECT_EQ(describe(planKeyInputs(GetParam().strokes, germanLayout())), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases,
    KeyInputPlanCases,
    ::testing::Values(
        PlanCase { "plainCharactersAreUnicodePackets", { ch(U'a'), ch(U'€') }, "u+61 u-61 u+20AC u-20AC" },
        PlanCase { "emojiIsASurrogatePair", { ch(U'😀') }, "u+D83D u-D83D u+DE00 u-DE00" },
        PlanCase { "enterAndTabAreKeys", { ch(U'\r'), named(NamedKey::Tab) }, "+Enter -Enter +Tab -Tab" },
        PlanCase { "lineFeedAfterCarriageReturnIsDropped",
            { ch(U'\r'), ch(U'\n'), ch(U'\n') },
            "+Enter -Enter +Enter -Enter" },
        PlanCase { "lineFeedAfterEnterKeyIsDropped", { named(NamedKey::Enter), ch(U'\n') }, "+Enter -Enter" },
        PlanCase { "loneLineFeedIsEnter", { ch(U'x'), ch(U'\n') }, "u+78 u-78 +Enter -Enter" },
        PlanCase { "backspaceCharacterIsTheKey", { ch(U'\b') }, "+Backspace -Backspace" },
        PlanCase { "altSpaceIsTheSpaceKeyWithAlt", { ch(U' ', Alt) }, "+Alt +Space -Space -Alt" },
        PlanCase { "ctrlLetterUsesTheLayoutsKey", { ch(U'c', Ctrl) }, "+Ctrl +C -C -Ctrl" },
        PlanCase {
            "shiftedLetterAddsTheLayoutsShift", { ch(U'A', Ctrl) }, "+Shift +Ctrl +A -A -Ctrl -Shift" },
        PlanCase {
            "altGrCharacterWithShift", { ch(U'@', Shift) }, "+Shift +Ctrl +Alt +Q -Q -Alt -Ctrl -Shift" },
        PlanCase { "characterTheLayoutLacksGoesAsPacketWithModifiers",
            { ch(U'Ω', Ctrl) },
            "+Ctrl u+3A9 u-3A9 -Ctrl" },
        PlanCase { "namedKeysAreExtendedWhereTheKeyboardSaysSo",
            { named(NamedKey::Left, Shift), named(NamedKey::F12) },
            "+Shift +Left* -Left* -Shift +F12 -F12" },
        PlanCase { "emptyTypesNothing", {}, "" }),
    [](const ::testing::TestParamInfo<PlanCase>& row) { return std::string(row.param.name); });

TEST(KeyInputPlan, everyNamedKeyHasAVirtualKeyAndNoKeyStaysDown)
{
    KeyStrokes strokes;
    for (int k = static_cast<int>(NamedKey::Enter); k <= static_cast<int>(NamedKey::Divide); ++k) {
        const NamedKey key = static_cast<NamedKey>(k);
        EXPECT_NE(virtualKeyFor(key).code, 0) << "named key " << k;
        strokes.push_back(named(key, Shift | Ctrl | Alt));
    }
    const std::vector<INPUT> inputs = planKeyInputs(strokes, germanLayout());
    int down = 0;
    for (const INPUT& input : inputs) {
        down += (input.ki.dwFlags & KEYEVENTF_KEYUP) ? -1 : 1;
        ASSERT_GE(down, 0);
    }
    EXPECT_EQ(down, 0);
}

} // namespace
} // namespace kx::platform::win32
