// Prints, in UTF-8, the title of the window in the foreground on the first line, then the
// shown top-level windows one a line, as "tool" or "app", a tab and the title: for scripts
// that drive a program under Wine, whose windows X11 tools do not see inside Wine's desktop.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void printTitle(HWND window, const char* kind = nullptr)
{
    wchar_t title[512] = {};
    const int length = window ? GetWindowTextW(window, title, 512) : 0;
    char utf8[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, title, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
    if (kind)
        std::printf("%s\t", kind);
    std::printf("%s\n", utf8);
}

BOOL CALLBACK printShown(HWND window, LPARAM)
{
    if (IsWindowVisible(window))
        printTitle(window, GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW ? "tool" : "app");
    return TRUE;
}

} // namespace

int main()
{
    printTitle(GetForegroundWindow());
    EnumWindows(printShown, 0);
    return 0;
}
