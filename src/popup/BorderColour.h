#pragma once

#include <cstdint>
#include <optional>

namespace kx::popup {

// A colour as the options store it (a signed 32-bit number): either plain RGB with red in
// the low byte, then green, then blue, or, with the highest bit set, one of the system's
// colours by its index in the low byte (15 = the face of buttons, the default).
struct BorderColour
{
    enum class Kind
    {
        Rgb,
        System
    };
    Kind kind = Kind::System;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    int systemIndex = 15;

    friend bool operator==(const BorderColour&, const BorderColour&) = default;
};

// The highest system colour index there is (the gradient of inactive captions).
constexpr int kLastSystemColour = 28;

// Nothing when `value` is no colour: bits between the blue byte and the highest bit set,
// or a system colour index beyond the last one.
std::optional<BorderColour> decodeBorderColour(std::int32_t value);
std::int32_t encodeRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

} // namespace kx::popup
