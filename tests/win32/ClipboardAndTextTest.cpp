#include "backends/win32/WideText.h"
#include "backends/win32/Win32Clipboard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

namespace kx::platform::win32 {
namespace {

std::optional<std::wstring> clipboardText()
{
    if (!OpenClipboard(nullptr))
        return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = std::wstring(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Text beyond the basic plane is converted by the clipboard and window title tests.
TEST(WideText, keepsNulAndEmptyTextAndReplacesInvalidInput)
{
    EXPECT_EQ(toWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toUtf8(L""), "");
    EXPECT_EQ(toWide("a\xFF"
                     "b"),
        L"a\uFFFDb");
    EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\xEF\xBF\xBDx");
}

TEST(WideText, systemErrorTextNamesTheCode)
{
    const std::string text = systemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_NE(text.find("(5)"), std::string::npos) << text;
    EXPECT_GT(text.size(), 4u) << "no message text";
    EXPECT_NE(text.back(), '\n');
}

TEST(Win32ClipboardText, holdsTheTextAsUnicodeAfterTheObjectIsGone)
{
    {
        Win32Clipboard clipboard;
        ASSERT_TRUE(clipboard.setText("dir\r\näöü € 😀"));
        EXPECT_EQ(clipboardText(), L"dir\r\näöü € \U0001F600");
        EXPECT_EQ(clipboard.readText(), "dir\r\näöü € 😀");
        ASSERT_TRUE(clipboard.setText("zweiter Text"));
        EXPECT_EQ(clipboardText(), L"zweiter Text");
    }
    EXPECT_EQ(clipboardText(), L"zweiter Text");
}

TEST(Win32ClipboardText, failsWhileAnotherWindowKeepsTheClipboardOpen)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(OpenClipboard(other));
    Win32Clipboard clipboard;
    EXPECT_FALSE(clipboard.setText("blockiert"));
    EXPECT_EQ(clipboard.readText(), "");
    CloseClipboard();
    EXPECT_TRUE(clipboard.setText("frei"));
    EXPECT_EQ(clipboardText(), L"frei");
    DestroyWindow(other);
}

} // namespace
} // namespace kx::platform::win32
