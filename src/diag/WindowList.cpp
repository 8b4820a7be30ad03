#include "diag/WindowList.h"

#include "store/Scrambling.h"
#include "transmit/Clock.h"
#include "transmit/WindowTitle.h"

#include <cstdint>
#include <set>

namespace kx::diag {

namespace {

std::string handleDigits(platform::WindowHandle window)
{
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(window));
    const auto high = static_cast<std::uint32_t>(window >> 32);
    // X11 ids and Windows handles fit in 32 bits; anything wider keeps all of its digits.
    if (high == 0)
        return store::HexPad(low, 8);
    return store::HexPad(static_cast<std::int32_t>(high), 1) + store::HexPad(low, 8);
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

std::vector<std::string> windowListLines(platform::WindowSystem& windows,
    platform::WindowHandle mainWindow,
    bool visibleOnly,
    const std::string& timeLine)
{
    std::vector<std::string> lines { timeLine };
    // A window system that reports a cycle must not hang the refresh.
    std::set<platform::WindowHandle> seen;
    for (platform::WindowHandle window = mainWindow; window != 0 && seen.insert(window).second;
         window = windows.windowAbove(window)) {
        const bool visible = windows.isWindowVisible(window);
        if (visibleOnly && !visible)
            continue;
        lines.push_back(
            windowListLine(lines.size(), window, visible, transmit::readWindowTitle(windows, window)));
    }
    return lines;
}

std::string dateTimeLine(const transmit::Clock& clock)
{
    return transmit::formatLocalTime("%x %X", clock.now());
}

} // namespace kx::diag
