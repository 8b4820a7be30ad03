#pragma once

#include "platform/WindowSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace kx::transmit {

// A window whose title matched the entry's title.
struct WindowCandidate
{
    std::string title; // as read, at most 127 characters
    platform::WindowHandle window = 0;

    friend bool operator==(const WindowCandidate&, const WindowCandidate&) = default;
};

// Lets the user pick one of two or more matching windows (the selection dialog).
class WindowChooser
{
public:
    virtual ~WindowChooser() = default;

    // Shows the candidates (in the order found, top of the stack first) and returns when
    // the choice is over: the chosen window, or nothing when the user cancelled.
    virtual std::optional<platform::WindowHandle> choose(const std::vector<WindowCandidate>& candidates) = 0;
};

} // namespace kx::transmit
