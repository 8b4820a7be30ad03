#include "TestWindows.h"
#include "backends/win32/Win32KeyboardOutput.h"
#include "backends/win32/Win32WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kx::platform::win32 {
namespace {

using test::charactersOf;
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

TEST(OtherProcessWindow, isListedWithItsTitleAndTakesTheTypedText)
{
    TargetProgram target(L"Kalmotex Zielprogramm äöü");
    ASSERT_NE(target.frame(), nullptr) << "target program did not open its window";
    ASSERT_NE(target.edit(), nullptr);
    ASSERT_NE(target.threadOfFrame(), GetCurrentThreadId());

    Win32WindowSystem windows;
    const std::vector<WindowHandle> list = windows.topLevelWindows();
    EXPECT_NE(std::find(list.begin(), list.end(), handleOf(target.frame())), list.end());
    EXPECT_EQ(windows.windowTitle(handleOf(target.frame())), "Kalmotex Zielprogramm äöü");

    {
        const ActivationResult activated = windows.activate(handleOf(target.frame()));
        ASSERT_TRUE(activated.confirmed) << activated.error;
    }
    // Mixed text, then lines enough to go out in several slices.
    KeyStrokes strokes = charactersOf(U"Grüße € 😀");
    strokes.push_back(test::named(NamedKey::Tab));
    std::u32string lines = U"Ω\r\n";
    std::wstring expected = L"Grüße € \U0001F600\tΩ\r\n";
    for (int i = 0; i < 24; ++i) {
        lines += U"Zeile " + std::u32string(1, U'A' + static_cast<char32_t>(i)) + U" äö😀\r";
        expected += L"Zeile " + std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L" äö\U0001F600\r\n";
    }
    strokes = charactersOf(lines, strokes);
    Win32KeyboardOutput keyboard;
    const TypingResult typed = keyboard.type(strokes);
    ASSERT_TRUE(typed.ok) << typed.error;
    // type() waits until the target's thread has taken the keys, so the text is complete
    // already; the bounded wait only guards against a slow target.
    pumpUntil([&] { return target.text() == expected; });
    EXPECT_EQ(target.text(), expected);
}

} // namespace
} // namespace kx::platform::win32
