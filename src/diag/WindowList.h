#pragma once

#include "platform/WindowInventory.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kx::transmit {
class Clock;
}

namespace kx::diag {

// One line of the window-list monitor: the line's index as at least three digits, the
// handle as eight upper-case hexadecimal digits, "V" or "X" for visible or not, and the
// title in apostrophes, e.g. "001 0001A2B4 V 'Editor'".
std::string windowListLine(
    std::size_t index, platform::WindowHandle window, bool visible, const std::string& title);

// The monitor's whole list: `timeLine` first, then every window from `mainWindow` itself
// upward to the top of the stack, without the send's filters (docks and the program's own
// windows included). A main window that is not on the stack (hidden) counts as below every
// window. With `visibleOnly`, hidden windows are left out. Titles are cut as the send cuts
// them (at most 127 characters).
std::vector<std::string> windowListLines(platform::WindowInventory& windows,
    platform::WindowHandle mainWindow,
    bool visibleOnly,
    const std::string& timeLine);

// The present moment as the monitor's first line shows it: the locale's date and time.
std::string dateTimeLine(const transmit::Clock& clock);

} // namespace kx::diag
