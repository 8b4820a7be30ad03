#pragma once

#include "text/Result.h"

#include <cstdint>
#include <string>

namespace kx::config {
class ConfigAccess;
}
namespace kx::platform {
class Prompts;
}

// The options of section `Common`, read the way the program reads them: the number at the
// start of the text (no number = 0), rounded half to even; a value that does not fit its
// type counts as the option's default.
namespace kx::store {

constexpr std::int32_t kDefaultBorderColour = -2147483633; // 0x8000000F, button faces

// `SortNames`, default "1": the popup menu lists the entries sorted by name. Read as a 16-bit
// number, on when it is not zero; written as "1" or "0".
bool loadSortNamesOption(config::ConfigAccess& config);
text::Result saveSortNamesOption(config::ConfigAccess& config, bool sorted);

// The strip along a screen edge that opens the popup menu of entries.
struct BorderStripOptions
{
    std::int32_t viaBorder = 0; // 0 or 1: the strip is shown
    std::int32_t borderByClick = 0; // 0 or 1: a click opens the menu, not the pointer passing over
    std::int32_t pos = 0; // 0 to 3: top, bottom, left, right edge
    std::int32_t borderColour = kDefaultBorderColour;

    friend bool operator==(const BorderStripOptions&, const BorderStripOptions&) = default;
};

// Reads PumActBorderByClick, PumActViaBorder, PumActPos, PumActBorderCol in this order;
// the first three outside their range count as 0, the colour is taken as read.
BorderStripOptions loadBorderStripOptions(config::ConfigAccess& config);
// Writes PumActViaBorder, PumActBorderByClick, PumActPos, PumActBorderCol in this order.
text::Result saveBorderStripOptions(config::ConfigAccess& config, const BorderStripOptions& options);

// Features the classic program did not have, also kept in section `Common`. A key that is
// missing reads as its default; the ones that change how the classic program behaves are
// off by default.
struct ExtraOptions
{
    std::string hotkey = "Ctrl+Alt+V"; // `Hotkey`: opens the popup menu from anywhere; "" = none
    bool singleInstance = true; // `SingleInstance`: a second start shows the running program
    bool typeToFilter = false; // `TypeToFilter`: letters narrow the menu instead of access keys
    bool focusGuard = true; // `FocusGuard`: typing stops when the target loses the focus

    friend bool operator==(const ExtraOptions&, const ExtraOptions&) = default;
};

// The switches read as numbers like the other options (non-zero = on); the hotkey is
// taken as stored, in the portable text form "Ctrl+Alt+V".
ExtraOptions loadExtraOptions(config::ConfigAccess& config);
text::Result saveExtraOptions(config::ConfigAccess& config, const ExtraOptions& options);

// A message the program gives once per configuration file (about the desktop it runs on,
// say): shown as an information box unless `key` in section `Common` is on, then remembered
// there as "1". Whether it was shown now. When the file cannot be written it is shown
// again at the next start, which is better than never.
bool showNoticeOnce(config::ConfigAccess& config,
    platform::Prompts& prompts,
    const std::string& key,
    const std::string& text);

} // namespace kx::store
