#include "popup/BorderColour.h"

namespace kx::popup {

std::optional<BorderColour> decodeBorderColour(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & 0x80000000u) {
        if (bits & 0x7FFFFF00u || static_cast<int>(bits & 0xFFu) > kLastSystemColour)
            return std::nullopt;
        return BorderColour { BorderColour::Kind::System, 0, 0, 0, static_cast<int>(bits & 0xFFu) };
    }
    if (bits & 0xFF000000u)
        return std::nullopt;
    return BorderColour { BorderColour::Kind::Rgb,
        static_cast<std::uint8_t>(bits & 0xFFu),
        static_cast<std::uint8_t>((bits >> 8) & 0xFFu),
        static_cast<std::uint8_t>((bits >> 16) & 0xFFu),
        0 };
}

std::int32_t encodeRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<std::int32_t>(red | (green << 8) | (blue << 16));
}

} // namespace kx::popup
