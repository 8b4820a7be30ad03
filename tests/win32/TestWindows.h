#pragma once

#include "platform/KeyStroke.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include <windows.h>

namespace kx::platform::win32::test {

// Key strokes for the typing tests: a character, a named key, every character of a text.
inline KeyStroke ch(char32_t c, std::uint8_t modifiers = NoModifier)
{
    return { NamedKey::Character, c, modifiers };
}
inline KeyStroke named(NamedKey key, std::uint8_t modifiers = NoModifier) { return { key, 0, modifiers }; }
inline KeyStrokes charactersOf(std::u32string_view text, KeyStrokes strokes = {})
{
    for (const char32_t c : text)
        strokes.push_back(ch(c));
    return strokes;
}

// Handles this thread's messages until `done` holds or `limit` has passed; returns whether
// it holds. The windows of the tests live on the test's own thread, so every wait for
// them must keep their messages flowing.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// A top-level test window of its own class, destroyed with the object.
class TestWindow
{
public:
    explicit TestWindow(
        const std::wstring& title, DWORD extendedStyle = 0, HWND owner = nullptr, bool visible = true);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return m_window; }

private:
    HWND m_window = nullptr;
};

} // namespace kx::platform::win32::test
