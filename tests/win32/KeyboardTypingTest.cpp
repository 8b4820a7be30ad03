#include "TestWindows.h"
#include "backends/win32/Win32KeyboardOutput.h"
#include "backends/win32/Win32WindowSystem.h"

#include <gtest/gtest.h>

namespace kx::platform::win32 {
namespace {

using test::ch;
using test::charactersOf;
using test::named;
using test::pumpUntil;

// The target program beside the test executable; started with a title, closed and, if it
// does not end, terminated when the test is over, also after a failure.
class TargetProgram
{
public:
    explicit TargetProgram(const std::wstring& title)
    {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring program(self);
        program = program.substr(0, program.find_last_of(L"\\/") + 1) + L"kx_win32_target_window.exe";
        std::wstring commandLine = L"\"" + program + L"\" \"" + title + L"\"";
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(),
                commandLine.data(),
                nullptr,
                nullptr,
                FALSE,
                0,
                nullptr,
                nullptr,
                &startup,
                &m_process))
            return;
        CloseHandle(m_process.hThread);
        m_process.hThread = nullptr;
        pumpUntil([&] {
            m_frame = FindWindowW(L"KalmotexTargetWindow", title.c_str());
            return m_frame != nullptr && IsWindowVisible(m_frame);
        });
        if (m_frame)
            m_edit = FindWindowExW(m_frame, nullptr, L"EDIT", nullptr);
    }

    ~TargetProgram()
    {
        if (!m_process.hProcess)
            return;
        if (m_frame)
            PostMessageW(m_frame, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hProcess);
    }

    TargetProgram(const TargetProgram&) = delete;
    TargetProgram& operator=(const TargetProgram&) = delete;

    HWND frame() const { return m_frame; }
    HWND edit() const { return m_edit; }
    DWORD threadOfFrame() const { return GetWindowThreadProcessId(m_frame, nullptr); }

    // The edit control's text; WM_GETTEXT is carried across processes (GetWindowText is not,
    // for controls).
    std::wstring text() const
    {
        wchar_t buffer[1024] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(m_edit,
            WM_GETTEXT,
            1024,
            reinterpret_cast<LPARAM>(buffer),
            SMTO_ABORTIFHUNG,
            5000,
            &copied);
        return std::wstring(buffer, copied);
    }

private:
    PROCESS_INFORMATION m_process {};
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
};

WindowHandle handleOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// Every test types into another program, as the user's target is.
class KeyboardTyping : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(target.edit(), nullptr) << "target program did not open its window";
        const ActivationResult activated = windows.activate(handleOf(target.frame()));
        ASSERT_TRUE(activated.confirmed) << activated.error;
        // The target hands the focus to its edit control when its window becomes active.
        ASSERT_TRUE(pumpUntil([&] {
            GUITHREADINFO info {};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(target.threadOfFrame(), &info) && info.hwndFocus == target.edit();
        }));
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
        pumpUntil([&] { return target.text() == expected; });
        return target.text();
    }

    TargetProgram target { L"Kalmotex Zielprogramm äöü" };
    Win32WindowSystem windows;
    Win32KeyboardOutput keyboard;
};

TEST_F(KeyboardTyping, aGuardThatSaysNoStopsBetweenStrokesAndCountsWhatWentOut)
{
    // 40 characters with a modifier stroke among them: the first batch goes out, then the
    // guard refuses; no stroke may be cut and no key may stay down.
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
    pumpUntil([&] { return target.text() == expected; });
    EXPECT_EQ(target.text(), expected);
    for (int vk = 1; vk < 256; ++vk)
        EXPECT_FALSE(GetAsyncKeyState(vk) & 0x8000) << "key " << vk << " stays down";
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

} // namespace
} // namespace kx::platform::win32
