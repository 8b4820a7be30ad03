#include "backends/win32/Win32WindowSystem.h"

#include "backends/win32/WideText.h"

#include <windows.h>

#include <dwmapi.h>

#include <cstdio>
#include <cwchar>

namespace kx::platform::win32 {

namespace {

HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)); }
WindowHandle toHandle(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

std::string hexId(WindowHandle window)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(window));
    return buffer;
}

bool isShellWindow(HWND window)
{
    if (window == GetShellWindow() || window == GetDesktopWindow())
        return true;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return std::wcscmp(className, L"Shell_TrayWnd") == 0
        || std::wcscmp(className, L"Shell_SecondaryTrayWnd") == 0 || std::wcscmp(className, L"Progman") == 0
        || std::wcscmp(className, L"WorkerW") == 0;
}

BOOL CALLBACK collect(HWND window, LPARAM list)
{
    if (Win32WindowSystem::isApplicationWindow(toHandle(window)))
        reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(toHandle(window));
    return TRUE;
}

// Handles sent messages (activation notifications for our own windows) without taking
// user input off the queue.
void handleSentMessages()
{
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

} // namespace

bool Win32WindowSystem::isApplicationWindow(WindowHandle handle)
{
    const HWND window = toHwnd(handle);
    if (!IsWindow(window) || isShellWindow(window))
        return false;
    const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (extended & WS_EX_APPWINDOW)
        return true;
    if (extended & WS_EX_TOOLWINDOW)
        return false;
    return GetWindow(window, GW_OWNER) == nullptr;
}

std::vector<WindowHandle> Win32WindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> windows;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

WindowHandle Win32WindowSystem::windowAbove(WindowHandle handle)
{
    // Windows keeps hidden windows in the stack, and a toolkit creates a hidden window's
    // handle only when first asked for it, on top of every other. The stack of this walk is
    // that of the shown windows, as on other desktops: a hidden window counts as below all
    // of them, and hidden ones are passed over.
    const auto shown
        = [](HWND window) { return isApplicationWindow(toHandle(window)) && IsWindowVisible(window); };
    HWND window = toHwnd(handle);
    if (!IsWindow(window) || GetAncestor(window, GA_ROOT) != window || !IsWindowVisible(window)) {
        const std::vector<WindowHandle> all = topLevelWindows();
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (IsWindowVisible(toHwnd(*it)))
                return *it;
        return 0;
    }
    while ((window = GetWindow(window, GW_HWNDPREV)) != nullptr)
        if (shown(window))
            return toHandle(window);
    return 0;
}

std::string Win32WindowSystem::windowTitle(WindowHandle handle)
{
    const HWND window = toHwnd(handle);
    if (!IsWindow(window))
        return {};
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    // The length may be larger than the text (it can count a DBCS conversion); the
    // call's own count is what holds.
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, title.data(), length + 1);
    title.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return toUtf8(title);
}

bool Win32WindowSystem::isWindowVisible(WindowHandle handle)
{
    const HWND window = toHwnd(handle);
    if (!IsWindowVisible(window))
        return false;
    DWORD cloaked = 0;
    if (SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked != 0)
        return false;
    return true;
}

ActivationResult Win32WindowSystem::activate(WindowHandle handle)
{
    const HWND window = toHwnd(handle);
    const auto fail = [&](const std::string& why) {
        return ActivationResult { false,
            "SetForegroundWindow",
            {},
            "activate " + hexId(handle) + " '" + windowTitle(handle) + "': " + why };
    };
    if (!IsWindow(window))
        return fail("no such window (closed?)");

    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    if (!SetForegroundWindow(window) && GetForegroundWindow() != window) {
        // The system lets only the foreground's own input queue hand the foreground on:
        // share it for the moment of the call.
        const HWND foreground = GetForegroundWindow();
        const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
        const DWORD ownThread = GetCurrentThreadId();
        const bool attached = foregroundThread != 0 && foregroundThread != ownThread
            && AttachThreadInput(ownThread, foregroundThread, TRUE);
        BringWindowToTop(window);
        SetForegroundWindow(window);
        if (attached)
            AttachThreadInput(ownThread, foregroundThread, FALSE);
    }

    const auto deadline = std::chrono::steady_clock::now() + m_activationTimeout;
    for (;;) {
        handleSentMessages();
        if (GetForegroundWindow() == window) {
            // Windows raises a window it activates; Wine without a window manager does not,
            // and the walk up the stack at the next send must find it on top.
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return { true, "SetForegroundWindow", "GetForegroundWindow", {} };
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return fail("still not the foreground window after " + std::to_string(m_activationTimeout.count())
                + " ms (the foreground is " + hexId(toHandle(GetForegroundWindow())) + ")");
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
}

bool Win32WindowSystem::hasKeyboardFocus(WindowHandle window)
{
    return window != 0 && toHandle(GetForegroundWindow()) == window;
}

} // namespace kx::platform::win32
