#include "popup/BorderColour.h"

#include <gtest/gtest.h>

namespace kx::popup {
namespace {

TEST(BorderColour, decodesRgbAndSystemColoursAndRejectsWhatIsNoColour)
{
    using Kind = BorderColour::Kind;
    const struct
    {
        const char* name;
        std::int32_t value;
        std::optional<BorderColour> expected;
    } cases[] = {
        { "pure red", 255, BorderColour { Kind::Rgb, 255, 0, 0, 0 } },
        { "black", 0, BorderColour { Kind::Rgb, 0, 0, 0, 0 } },
        { "white", 0xFFFFFF, BorderColour { Kind::Rgb, 255, 255, 255, 0 } },
        { "blue is the high byte", 0xFF0000, BorderColour { Kind::Rgb, 0, 0, 255, 0 } },
        { "mixed", 0x123456, BorderColour { Kind::Rgb, 0x56, 0x34, 0x12, 0 } },
        { "default: button face", -2147483633, BorderColour { Kind::System, 0, 0, 0, 15 } },
        { "system colour 0",
            static_cast<std::int32_t>(0x80000000u),
            BorderColour { Kind::System, 0, 0, 0, 0 } },
        { "last system colour",
            static_cast<std::int32_t>(0x8000001Cu),
            BorderColour { Kind::System, 0, 0, 0, 28 } },
        { "system index beyond the last", static_cast<std::int32_t>(0x8000001Du), std::nullopt },
        { "bits beside a system index", static_cast<std::int32_t>(0x8000010Fu), std::nullopt },
        { "a fourth byte on RGB", 0x01000000, std::nullopt },
        { "minus one", -1, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeBorderColour(c.value), c.expected) << c.name;
}

TEST(BorderColour, encodesRgbWithRedInTheLowByte)
{
    EXPECT_EQ(encodeRgb(255, 0, 0), 255);
    EXPECT_EQ(encodeRgb(0x56, 0x34, 0x12), 0x123456);
    EXPECT_EQ(decodeBorderColour(encodeRgb(1, 2, 3)), (BorderColour { BorderColour::Kind::Rgb, 1, 2, 3, 0 }));
}

} // namespace
} // namespace kx::popup
