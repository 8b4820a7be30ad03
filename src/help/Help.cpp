#include "help/Help.h"

#include "platform/Prompts.h"

#include <filesystem>
#include <system_error>

namespace kx::help {

std::optional<std::string> findHelpPage(const std::string& folder)
{
    for (const char* name : { "hilfe.htm", "index.htm" }) {
        const std::filesystem::path file = std::filesystem::path(folder) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error))
            return file.string();
    }
    return std::nullopt;
}

void showHelpPage(const std::string& folder, platform::Prompts& prompts, DocumentOpener& opener)
{
    const std::optional<std::string> page = findHelpPage(folder);
    if (!page) {
        prompts.message("Die Online-Hilfe konnte leider nicht gefunden werden ...",
            platform::PromptIcon::Information,
            platform::PromptButtons::Ok,
            platform::PromptAnswer::Ok);
        return;
    }
    opener.open(*page);
}

} // namespace kx::help
