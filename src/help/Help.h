#pragma once

#include <optional>
#include <string>

namespace kx::platform {
class Prompts;
}

namespace kx::help {

// Opens a local file in the desktop's default program for it (the browser for a page).
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;
    virtual void open(const std::string& path) = 0;
};

// "hilfe.htm", else "index.htm" in `folder`, each only when it is a file (a folder of
// that name counts as missing); nothing when neither exists.
std::optional<std::string> findHelpPage(const std::string& folder);

// Opens the help page of `folder`, or says that there is none.
void showHelpPage(const std::string& folder, platform::Prompts& prompts, DocumentOpener& opener);

} // namespace kx::help
