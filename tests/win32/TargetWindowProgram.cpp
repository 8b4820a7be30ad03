// A stand-in for another program to type into: a window titled by the first argument,
// filled by a multi-line edit control that keeps Enter and Tab and has the keyboard focus
// whenever the window is active. It ends when its window is closed.

#include <windows.h>

namespace {

HWND edit = nullptr;

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (edit)
            SetFocus(edit);
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
    ShowWindow(frame, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(arguments);
    return 0;
}
