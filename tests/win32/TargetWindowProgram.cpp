// A stand-in for another program to type into: a window titled by the first argument,
// filled by a multi-line edit control that keeps Enter and Tab and has the keyboard focus
// whenever the window is active. With a second argument, the control's text is written to
// that file (UTF-8) after every change, so a script outside Wine sees what arrived. It ends
// when its window is closed.

#include "backends/win32/WideText.h"

#include <windows.h>

#include <string>

namespace {

HWND edit = nullptr;
const wchar_t* captureFile = nullptr;

void writeCapture()
{
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), length + 1)));
    const std::string utf8 = kx::platform::win32::toUtf8(text);
    // Written whole to a temporary file and renamed, so a reader never sees half a text.
    const std::wstring temporary = std::wstring(captureFile) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temporary.c_str(), captureFile, MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (edit)
            SetFocus(edit);
        return 0;
    case WM_COMMAND:
        if (edit && captureFile && reinterpret_cast<HWND>(lParam) == edit && HIWORD(wParam) == EN_CHANGE)
            writeCapture();
        return 0;
    case WM_SIZE:
        if (edit)
            MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const wchar_t* title = count > 1 ? arguments[1] : L"Kalmotex target";
    if (count > 2)
        captureFile = arguments[2];

    WNDCLASSEXW wc {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KalmotexTargetWindow";
    RegisterClassExW(&wc);
    HWND frame = CreateWindowExW(0,
        wc.lpszClassName,
        title,
        WS_OVERLAPPEDWINDOW,
        150,
        150,
        400,
        300,
        nullptr,
        nullptr,
        wc.hInstance,
        nullptr);
    edit = CreateWindowExW(0,
        L"EDIT",
        L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
        0,
        0,
        400,
        300,
        frame,
        nullptr,
        wc.hInstance,
        nullptr);
    if (captureFile)
        writeCapture();
    ShowWindow(frame, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(arguments);
    return 0;
}
