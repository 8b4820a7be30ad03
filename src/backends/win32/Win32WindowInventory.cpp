#include "backends/win32/Win32WindowInventory.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace kx::platform::win32 {

namespace {

BOOL CALLBACK collectShown(HWND window, LPARAM list)
{
    // Windows keeps hidden windows in the stack; the list shows what is on the screen.
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
            static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window)));
    return TRUE;
}

} // namespace

std::vector<WindowHandle> Win32WindowInventory::stackBottomUp()
{
    std::vector<WindowHandle> windows;
    EnumWindows(collectShown, reinterpret_cast<LPARAM>(&windows)); // top first
    std::reverse(windows.begin(), windows.end());
    return windows;
}

} // namespace kx::platform::win32
