#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kx::platform {

// The strip along a screen edge drawn by the desktop's own means, where the GUI toolkit
// cannot keep a window there (Wayland). It never takes the keyboard and reserves no room.
class EdgeStrip
{
public:
    virtual ~EdgeStrip() = default;

    // The edges as the options number them.
    enum class Edge
    {
        Top = 0,
        Bottom = 1,
        Left = 2,
        Right = 3
    };

    // Shows the strip one pixel thick along `edge` of the output in `rgb` (0xRRGGBB);
    // nothing hides it.
    virtual void place(std::optional<Edge> edge, std::uint32_t rgb) = 0;
    // Called when the pointer enters the strip (`clicked` false) or its left button is
    // released on it (`clicked` true). Called from the backend's event dispatch, so the
    // handler must not wait there for more events (open the menu later, not in it).
    virtual void setTouchHandler(std::function<void(bool clicked)> handler) = 0;
};

} // namespace kx::platform
