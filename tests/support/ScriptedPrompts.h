#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kx::test {

// Answers prompts from a script written by the test and records every prompt exactly as
// shown. A prompt nobody scripted, or one whose text differs from the script, is recorded
// as an error and answered harmlessly (No, OK or cancel) so a test never blocks on it.
class ScriptedPrompts : public platform::Prompts
{
public:
    struct Shown
    {
        bool isInput = false;
        std::string text; // the message text or the input prompt
        std::string title; // input boxes only
        std::string defaultText; // input boxes only
        platform::PromptIcon icon = platform::PromptIcon::Information;
        platform::PromptButtons buttons = platform::PromptButtons::Ok;
        platform::PromptAnswer defaultAnswer = platform::PromptAnswer::Ok;
    };

    // The next message box must show `text`; it is answered with `answer`.
    void answerMessage(std::string text, platform::PromptAnswer answer = platform::PromptAnswer::Ok);
    // The next input box must ask `prompt`; nothing means the user cancels.
    void answerInput(std::string prompt, std::optional<std::string> answer);

    platform::PromptAnswer message(const std::string& text,
        platform::PromptIcon icon,
        platform::PromptButtons buttons,
        platform::PromptAnswer defaultAnswer) override;
    std::optional<std::string> input(
        const std::string& prompt, const std::string& title, const std::string& defaultText) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    const std::vector<std::string>& errors() const { return m_errors; }
    // Scripted answers not used yet.
    std::size_t pending() const { return m_script.size(); }
    // No error and nothing left over: the dialogue went exactly as scripted.
    bool wentAsScripted() const { return m_errors.empty() && m_script.empty(); }
    // All errors and leftovers in one readable text, for a test's failure message.
    std::string report() const;
    void clear();

private:
    struct Step
    {
        bool isInput = false;
        std::string text;
        platform::PromptAnswer answer = platform::PromptAnswer::Ok;
        std::optional<std::string> inputAnswer;
    };
    std::deque<Step> m_script;
    std::vector<Shown> m_shown;
    std::vector<std::string> m_errors;
};

} // namespace kx::test
