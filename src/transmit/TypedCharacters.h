#pragma once

#include "platform/KeyStroke.h"

#include <cstddef>
#include <string_view>

namespace kx::transmit {

// The characters of a text as the user sees them: code points, with a CR LF pair counted
// as one line break.
std::size_t visibleCharacterCount(std::string_view utf8);

// How many of those characters the first `count` strokes of a send typed. A text becomes
// one stroke per character; the LF of a CR LF pair follows the Enter stroke and is part of
// the same line break.
std::size_t charactersOfStrokes(const platform::KeyStrokes& strokes, std::size_t count);

} // namespace kx::transmit
