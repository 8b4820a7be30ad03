#include "diag/WindowList.h"

#include "store/Scrambling.h"
#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/WindowTitle.h"

#include <algorithm>
#include <cstdint>

namespace kx::diag {

namespace {

std::string handleDigits(platform::WindowHandle window)
{
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(window));
    const auto high = static_cast<std::uint32_t>(window >> 32);
    // X11 ids and Windows handles fit in 32 bits; anything wider keeps all of its digits.
    if (high == 0)
        return store::hexPad(low, 8);
    return store::hexPad(static_cast<std::int32_t>(high), 1) + store::hexPad(low, 8);
}

} // namespace

std::string windowListLine(
    std::size_t index, platform::WindowHandle window, bool visible, const std::string& title)
{
    std::string number = std::to_string(index);
    if (number.size() < 3)
        number.insert(0, 3 - number.size(), '0');
    return number + ' ' + handleDigits(window) + ' ' + (visible ? 'V' : 'X') + " '" + title + "'";
}

std::vector<std::string> windowListLines(platform::WindowInventory& windows,
    platform::WindowHandle mainWindow,
    bool visibleOnly,
    const std::string& timeLine)
{
    std::vector<std::string> lines { timeLine };
    const std::vector<platform::WindowHandle> stack = windows.stackBottomUp();
    std::vector<platform::WindowHandle> shown;
    const auto mainOnStack = std::find(stack.begin(), stack.end(), mainWindow);
    if (mainOnStack != stack.end()) {
        shown.assign(mainOnStack, stack.end());
    } else if (mainWindow != 0) {
        shown.push_back(mainWindow);
        shown.insert(shown.end(), stack.begin(), stack.end());
    }
    for (const platform::WindowHandle window : shown) {
        const bool visible = windows.isWindowVisible(window);
        if (visibleOnly && !visible)
            continue;
        std::u32string title = text::toUtf32(windows.windowTitle(window));
        if (title.size() > transmit::maxWindowTitleLength)
            title.resize(transmit::maxWindowTitleLength);
        lines.push_back(windowListLine(lines.size(), window, visible, text::toUtf8(title)));
    }
    return lines;
}

std::string dateTimeLine(const transmit::Clock& clock)
{
    return transmit::formatLocalTime("%x %X", clock.now());
}

} // namespace kx::diag
