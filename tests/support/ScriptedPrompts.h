#pragma once

#include "platform/Prompts.h"

#include <deque>
#include <optional>
#include <string>
#include <utility>
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
    void answerMessage(std::string text, platform::PromptAnswer answer = platform::PromptAnswer::Ok)
    {
        m_script.push_back(Step { false, std::move(text), answer, std::nullopt });
    }
    // The next input box must ask `prompt`; nothing means the user cancels.
    void answerInput(std::string prompt, std::optional<std::string> answer)
    {
        m_script.push_back(Step { true, std::move(prompt), platform::PromptAnswer::Ok, std::move(answer) });
    }

    platform::PromptAnswer message(const std::string& text,
        platform::PromptIcon icon,
        platform::PromptButtons buttons,
        platform::PromptAnswer defaultAnswer) override
    {
        m_shown.push_back(Shown { false, text, {}, {}, icon, buttons, defaultAnswer });
        const auto harmless = buttons == platform::PromptButtons::YesNo ? platform::PromptAnswer::No
                                                                        : platform::PromptAnswer::Ok;
        const std::optional<Step> step = next(false, "message", text);
        return step ? step->answer : harmless;
    }
    std::optional<std::string> input(
        const std::string& prompt, const std::string& title, const std::string& defaultText) override
    {
        m_shown.push_back(Shown { true, prompt, title, defaultText });
        const std::optional<Step> step = next(true, "input box", prompt);
        return step ? step->inputAnswer : std::nullopt;
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    // No error and nothing left over: the dialogue went exactly as scripted.
    bool wentAsScripted() const { return m_errors.empty() && m_script.empty(); }
    // All errors and leftovers in one readable text, for a test's failure message.
    std::string report() const
    {
        std::string out;
        for (const auto& e : m_errors)
            out += e + "\n";
        for (const auto& s : m_script)
            out += "never shown: " + s.text + "\n";
        return out;
    }
    void clear()
    {
        m_script.clear();
        m_shown.clear();
        m_errors.clear();
    }

private:
    struct Step
    {
        bool isInput = false;
        std::string text;
        platform::PromptAnswer answer = platform::PromptAnswer::Ok;
        std::optional<std::string> inputAnswer;
    };

    // The scripted step for a prompt just shown, if it is the one the script expects.
    std::optional<Step> next(bool isInput, const char* kind, const std::string& text)
    {
        if (m_script.empty()) {
            m_errors.push_back(std::string("unexpected ") + kind + ": " + text);
            return std::nullopt;
        }
        Step step = std::move(m_script.front());
        m_script.pop_front();
        if (step.isInput != isInput || step.text != text) {
            m_errors.push_back(std::string(kind) + " shown: " + text + "\n  scripted: " + step.text);
            return std::nullopt;
        }
        return step;
    }

    std::deque<Step> m_script;
    std::vector<Shown> m_shown;
    std::vector<std::string> m_errors;
};

} // namespace kx::test
