#include "TestWindows.h"
#include "backends/win32/Win32KeyboardOutput.h"
#include "backends/win32/Win32WindowSystem.h"

#include <gtest/gtest.h>

namespace kx::platform::win32 {
namespace {

using test::ch;
using test::charactersOf;
using test::EditWindow;
using test::named;
using test::pumpUntil;

class KeyboardTyping : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(editor.edit(), nullptr);
        {
            const ActivationResult activated
                = windows.activate(reinterpret_cast<std::uintptr_t>(editor.frame()));
            ASSERT_TRUE(activated.confirmed) << activated.error;
        }
        SetFocus(editor.edit());
        ASSERT_TRUE(pumpUntil([&] { return GetFocus() == editor.edit(); }));
    }

    // A failed test must not leave a key down for the next one.
    void TearDown() override
    {
        for (const WORD vk : { VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU }) {
            if (GetAsyncKeyState(vk) & 0x8000) {
                INPUT up {};
                up.type = INPUT_KEYBOARD;
                up.ki.wVk = vk;
                up.ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(1, &up, sizeof(INPUT));
            }
        }
    }

    // Types and waits until the edit control holds `expected`; returns what it holds.
    std::wstring typeAndWait(const KeyStrokes& strokes, const std::wstring& expected)
    {
        const TypingResult result = keyboard.type(strokes);
        EXPECT_TRUE(result.ok) << result.error;
        pumpUntil([&] { return editor.text() == expected; });
        return editor.text();
    }

    EditWindow editor { L"Kalmotex typing target" };
    Win32WindowSystem windows;
    Win32KeyboardOutput keyboard;
};

// Mixed text (umlauts, €, Ω, an emoji, Tab, Enter) is typed into another program in
// OtherProcessTypingTest.
TEST_F(KeyboardTyping, aGuardThatSaysNoStopsBetweenStrokesAndCountsWhatWentOut)
{
    // 40 characters with a modifier stroke among them: the first batch goes out, then the
    // guard refuses; no stroke may be cut and nothing may stay held.
    KeyStrokes strokes = charactersOf(U"abcdefghij");
    strokes.push_back(ch(U'K', Shift));
    strokes = charactersOf(U"lmnopqrstuvwxyz0123456789ABCD", strokes);
    int asked = 0;
    const TypingResult result = keyboard.type(strokes, [&] { return ++asked == 1; });
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.stoppedByGuard);
    ASSERT_GT(result.strokesTyped, 0u);
    ASSERT_LT(result.strokesTyped, strokes.size());
    std::wstring expected = L"abcdefghijKlmnopqrstuvwxyz0123456789ABCD";
    expected.resize(result.strokesTyped);
    pumpUntil([&] { return editor.text() == expected; });
    EXPECT_EQ(editor.text(), expected);
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
}

TEST_F(KeyboardTyping, namedKeysMoveAndDeleteAndShortcutsGoInWithTheirModifiers)
{
    // "abc", Left twice (the caret before "b"), Backspace removes "a", Delete "b", End, "!".
    // Then Shift+Home selects, Ctrl+C copies, End, Ctrl+V pastes: the text doubles only when
    // the modifiers went in with real keys (a Unicode packet with Ctrl held types nothing).
    KeyStrokes strokes = charactersOf(U"abc");
    for (const NamedKey key :
        { NamedKey::Left, NamedKey::Left, NamedKey::Backspace, NamedKey::Delete, NamedKey::End })
        strokes.push_back(named(key));
    strokes.push_back(ch(U'!'));
    strokes.push_back(named(NamedKey::Home, Shift));
    strokes.push_back(ch(U'c', Ctrl));
    strokes.push_back(named(NamedKey::End));
    strokes.push_back(ch(U'v', Ctrl));
    EXPECT_EQ(typeAndWait(strokes, L"c!c!"), L"c!c!");
}

TEST_F(KeyboardTyping, modifierHeldByTheUserIsReleasedBeforeTyping)
{
    // A Shift that stays down (a stuck key, a user who does not let go) would make Home
    // select the line, and the next letter replace it; after the bounded wait it is
    // released for the target.
    INPUT shiftDown {};
    shiftDown.type = INPUT_KEYBOARD;
    shiftDown.ki.wVk = VK_LSHIFT;
    ASSERT_EQ(SendInput(1, &shiftDown, sizeof(INPUT)), 1u);
    ASSERT_TRUE(pumpUntil([] { return (GetAsyncKeyState(VK_LSHIFT) & 0x8000) != 0; }));
    keyboard.setModifierWait(std::chrono::milliseconds(50));
    KeyStrokes strokes = charactersOf(U"ab");
    strokes.push_back(named(NamedKey::Home));
    strokes.push_back(ch(U'x'));
    EXPECT_EQ(typeAndWait(strokes, L"xab"), L"xab");
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT) & 0x8000, 0);
}

TEST(KeyboardConsolePaste, isAltSpaceThenBThenE)
{
    EXPECT_EQ(Win32KeyboardOutput().consolePasteSequence(), "% BE");
}

} // namespace
} // namespace kx::platform::win32
