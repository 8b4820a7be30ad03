#include "backends/win32/Win32Clipboard.h"

#include "backends/win32/WideText.h"

#include <windows.h>

#include <cstring>
#include <thread>

namespace kx::platform::win32 {

namespace {

constexpr int kOpenAttempts = 10;
constexpr auto kOpenRetryDelay = std::chrono::milliseconds(20);

bool openClipboard(void* owner)
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(kOpenRetryDelay);
        if (OpenClipboard(static_cast<HWND>(owner)))
            return true;
    }
    return false;
}

} // namespace

Win32Clipboard::Win32Clipboard()
    // EmptyClipboard makes the opening window the owner; without one, SetClipboardData fails.
    : m_owner(CreateWindowExW(
        0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr))
{
}

Win32Clipboard::~Win32Clipboard()
{
    if (m_owner)
        DestroyWindow(static_cast<HWND>(m_owner));
}

text::Result Win32Clipboard::setText(const std::string& text)
{
    if (!m_owner)
        return text::Result::failure("clipboard: no owner window");
    const std::wstring wide = toWide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return text::Result::failure("clipboard: out of memory");
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return text::Result::failure("clipboard: out of memory");
    }
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);

    if (!openClipboard(m_owner)) {
        GlobalFree(memory);
        return text::Result::failure("clipboard: held open by another program");
    }
    const bool ok = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    // On success the system owns the memory.
    if (!ok)
        GlobalFree(memory);
    CloseClipboard();
    if (!ok)
        return text::Result::failure("clipboard: SetClipboardData refused the text");
    return {};
}

std::string Win32Clipboard::readText()
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !openClipboard(m_owner))
        return {};
    std::string text;
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory))) {
            // The text ends at its NUL, which may come before the end of the memory block.
            text = toUtf8(std::wstring_view(wide, wcsnlen(wide, GlobalSize(memory) / sizeof(wchar_t))));
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace kx::platform::win32
