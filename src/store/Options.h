#pragma once

#include <cstdint>
#include <string>

namespace kx::config {
class ConfigAccess;
}

// The options of section `Common`, read the way the program reads them: the number at the
// start of the text (no number = 0), rounded half to even; a value that does not fit its
// type counts as the option's default.
namespace kx::store {

constexpr std::int32_t kDefaultBorderColour = -2147483633; // 0x8000000F, button faces

// `SortNames`, default "1"; any 16-bit value is used as read (non-zero = sorted).
std::int16_t GetSortNamesOption(config::ConfigAccess& config, const std::string& fileName);
bool SaveSortNamesOption(config::ConfigAccess& config, const std::string& fileName, std::int16_t value);

struct PumActOptions
{
    std::int32_t viaBorder = 0; // 0 or 1
    std::int32_t borderByClick = 0; // 0 or 1
    std::int32_t pos = 0; // 0 to 3
    std::int32_t borderColour = kDefaultBorderColour;

    friend bool operator==(const PumActOptions&, const PumActOptions&) = default;
};

// Reads PumActBorderByClick, PumActViaBorder, PumActPos, PumActBorderCol in this order;
// the first three outside their range count as 0, the colour is taken as read.
PumActOptions LoadPumActOptions(config::ConfigAccess& config, const std::string& fileName);
// Writes PumActViaBorder, PumActBorderByClick, PumActPos, PumActBorderCol in this order.
bool SavePumActOptions(
    config::ConfigAccess& config, const std::string& fileName, const PumActOptions& options);

} // namespace kx::store
