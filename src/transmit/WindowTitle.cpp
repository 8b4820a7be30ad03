#include "transmit/WindowTitle.h"

#include "text/Text.h"

namespace kx::transmit {

std::string readWindowTitle(platform::WindowSystem& windows, platform::WindowHandle window)
{
    std::u32string title = text::toUtf32(windows.windowTitle(window));
    if (title.size() > maxWindowTitleLength)
        title.resize(maxWindowTitleLength);
    return text::toUtf8(title);
}

} // namespace kx::transmit
