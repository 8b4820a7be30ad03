#pragma once

#include "text/Result.h"

#include <string>

namespace kx::platform {

class Clipboard
{
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's contents with plain text (UTF-8). On X11 both CLIPBOARD and
    // PRIMARY get it, so Shift+Insert pastes it in terminals. A failure says what refused.
    virtual text::Result setText(const std::string& text) = 0;

    // The clipboard's current plain text (UTF-8; on X11 the CLIPBOARD selection); empty when
    // it holds no text or cannot be read.
    virtual std::string readText() = 0;
};

} // namespace kx::platform
