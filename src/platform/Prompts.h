#pragma once

#include <optional>
#include <string>

namespace kx::platform {

enum class PromptIcon
{
    Information,
    Question,
    Warning,
    Critical
};
enum class PromptButtons
{
    Ok,
    YesNo
};
enum class PromptAnswer
{
    Ok,
    Yes,
    No
};

// Every question and message to the user goes through here, so that tests can answer
// them. Message boxes carry the application title "Kalmotex"; texts are passed exactly as
// they are shown (line breaks as "\r" are shown as line breaks).
class Prompts
{
public:
    virtual ~Prompts() = default;

    // A message box; returns the button the user chose (`defaultAnswer` is the one
    // Enter chooses).
    virtual PromptAnswer message(
        const std::string& text, PromptIcon icon, PromptButtons buttons, PromptAnswer defaultAnswer)
        = 0;

    // An input box titled `title`; returns the text entered, or nothing when cancelled.
    virtual std::optional<std::string>
    input(const std::string& prompt, const std::string& title, const std::string& defaultText) = 0;

    // An input box with an empty field that stands alone, tied to none of the program's
    // windows: for a question asked on the way to another program's window, where raising one
    // of the program's windows with it would change which window counts as used last.
    virtual std::optional<std::string> standaloneInput(const std::string& prompt, const std::string& title)
    {
        return input(prompt, title, {});
    }
};

} // namespace kx::platform
