#pragma once

#include <string>

namespace kx::platform {

class Clipboard
{
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's contents with plain text (UTF-8). On X11 both CLIPBOARD and
    // PRIMARY get it, so Shift+Insert pastes it in terminals. False when it failed.
    virtual bool setText(const std::string& text) = 0;
};

} // namespace kx::platform
