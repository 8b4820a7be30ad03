#pragma once

#include "platform/WindowSystem.h"

#include <string>

namespace kx::transmit {

// Titles are compared and shown as the earlier Windows version read them, into a
// 128-character buffer: at most 127 characters.
constexpr std::size_t maxWindowTitleLength = 127;

// The window's title cut to maxWindowTitleLength characters (not bytes); empty when it has
// none or is gone.
std::string readWindowTitle(platform::WindowSystem& windows, platform::WindowHandle window);

} // namespace kx::transmit
