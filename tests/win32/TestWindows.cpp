#include "TestWindows.h"

#include <string>

namespace kx::platform::win32::test {

namespace {

const wchar_t* windowClass()
{
    static const wchar_t* name = [] {
        WNDCLASSEXW wc {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"KalmotexTestWindow";
        RegisterClassExW(&wc);
        return L"KalmotexTestWindow";
    }();
    return name;
}

} // namespace

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

TestWindow::TestWindow(const std::wstring& title, DWORD extendedStyle, HWND owner, bool visible)
    : m_window(CreateWindowExW(extendedStyle,
        windowClass(),
        title.c_str(),
        WS_OVERLAPPEDWINDOW,
        100,
        100,
        400,
        300,
        owner,
        nullptr,
        GetModuleHandleW(nullptr),
        nullptr))
{
    if (m_window && visible) {
        ShowWindow(m_window, SW_SHOWNORMAL);
        UpdateWindow(m_window);
    }
}

TestWindow::~TestWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

} // namespace kx::platform::win32::test
