#include "store/Options.h"

#include "config/ConfigAccess.h"
#include "platform/Prompts.h"
#include "store/RuntimeNumber.h"

namespace kx::store {

namespace {

const std::string kCommon = "Common";

std::int32_t readInt32(config::ConfigAccess& config, const std::string& key, std::int32_t defaultValue)
{
    const auto value = parseRuntimeNumber(config.readIniString(kCommon, key, std::to_string(defaultValue)));
    const auto rounded = value ? roundToInt32(*value) : std::nullopt;
    return rounded.value_or(defaultValue);
}

std::int32_t readInRange(config::ConfigAccess& config, const std::string& key, std::int32_t max)
{
    return config::valueInRange(readInt32(config, key, 0), 0, max, 0);
}

} // namespace

bool loadSortNamesOption(config::ConfigAccess& config)
{
    constexpr std::int16_t defaultValue = 1;
    const auto value = parseRuntimeNumber(config.readIniString(kCommon, "SortNames", "1"));
    const auto rounded = value ? roundToInt16(*value) : std::nullopt;
    return rounded.value_or(defaultValue) != 0;
}

text::Result saveSortNamesOption(config::ConfigAccess& config, bool sorted)
{
    return config.writeIniString(kCommon, "SortNames", sorted ? "1" : "0");
}

BorderStripOptions loadBorderStripOptions(config::ConfigAccess& config)
{
    BorderStripOptions options;
    options.borderByClick = readInRange(config, "PumActBorderByClick", 1);
    options.viaBorder = readInRange(config, "PumActViaBorder", 1);
    options.pos = readInRange(config, "PumActPos", 3);
    options.borderColour = readInt32(config, "PumActBorderCol", kDefaultBorderColour);
    return options;
}

text::Result saveBorderStripOptions(config::ConfigAccess& config, const BorderStripOptions& options)
{
    text::Result result
        = config.writeIniString(kCommon, "PumActViaBorder", std::to_string(options.viaBorder));
    result &= config.writeIniString(kCommon, "PumActBorderByClick", std::to_string(options.borderByClick));
    result &= config.writeIniString(kCommon, "PumActPos", std::to_string(options.pos));
    result &= config.writeIniString(kCommon, "PumActBorderCol", std::to_string(options.borderColour));
    return result;
}

ExtraOptions loadExtraOptions(config::ConfigAccess& config)
{
    const ExtraOptions defaults;
    ExtraOptions options;
    options.hotkey = config.readIniString(kCommon, "Hotkey", defaults.hotkey);
    options.singleInstance = readInt32(config, "SingleInstance", defaults.singleInstance) != 0;
    options.typeToFilter = readInt32(config, "TypeToFilter", defaults.typeToFilter) != 0;
    options.focusGuard = readInt32(config, "FocusGuard", defaults.focusGuard) != 0;
    return options;
}

text::Result saveExtraOptions(config::ConfigAccess& config, const ExtraOptions& options)
{
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    text::Result result = config.writeIniString(kCommon, "Hotkey", options.hotkey);
    result &= config.writeIniString(kCommon, "SingleInstance", flag(options.singleInstance));
    result &= config.writeIniString(kCommon, "TypeToFilter", flag(options.typeToFilter));
    result &= config.writeIniString(kCommon, "FocusGuard", flag(options.focusGuard));
    return result;
}

bool showNoticeOnce(
    config::ConfigAccess& config, platform::Prompts& prompts, const std::string& key, const std::string& text)
{
    if (readInt32(config, key, 0) != 0)
        return false;
    prompts.message(text,
        platform::PromptIcon::Information,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
    (void)config.writeIniString(kCommon, key, "1");
    return true;
}

} // namespace kx::store
