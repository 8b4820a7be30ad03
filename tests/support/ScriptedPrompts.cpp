#include "support/ScriptedPrompts.h"

#include <utility>

namespace kx::test {

void ScriptedPrompts::answerMessage(std::string text, platform::PromptAnswer answer)
{
    m_script.push_back(Step { false, std::move(text), answer, std::nullopt });
}

void ScriptedPrompts::answerInput(std::string prompt, std::optional<std::string> answer)
{
    m_script.push_back(Step { true, std::move(prompt), platform::PromptAnswer::Ok, std::move(answer) });
}

platform::PromptAnswer ScriptedPrompts::message(const std::string& text,
    platform::PromptIcon icon,
    platform::PromptButtons buttons,
    platform::PromptAnswer defaultAnswer)
{
    m_shown.push_back(Shown { false, text, {}, {}, icon, buttons, defaultAnswer });
    const platform::PromptAnswer harmless
        = buttons == platform::PromptButtons::YesNo ? platform::PromptAnswer::No : platform::PromptAnswer::Ok;
    if (m_script.empty()) {
        m_errors.push_back("unexpected message: " + text);
        return harmless;
    }
    Step step = std::move(m_script.front());
    m_script.pop_front();
    if (step.isInput || step.text != text) {
        m_errors.push_back("message shown: " + text + "\n  scripted: " + step.text);
        return harmless;
    }
    return step.answer;
}

std::optional<std::string> ScriptedPrompts::input(
    const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    m_shown.push_back(Shown { true, prompt, title, defaultText });
    if (m_script.empty()) {
        m_errors.push_back("unexpected input box: " + prompt);
        return std::nullopt;
    }
    Step step = std::move(m_script.front());
    m_script.pop_front();
    if (!step.isInput || step.text != prompt) {
        m_errors.push_back("input box shown: " + prompt + "\n  scripted: " + step.text);
        return std::nullopt;
    }
    return step.inputAnswer;
}

std::string ScriptedPrompts::report() const
{
    std::string out;
    for (const auto& e : m_errors)
        out += e + "\n";
    for (const auto& s : m_script)
        out += "never shown: " + s.text + "\n";
    return out;
}

void ScriptedPrompts::clear()
{
    m_script.clear();
    m_shown.clear();
    m_errors.clear();
}

} // namespace kx::test
