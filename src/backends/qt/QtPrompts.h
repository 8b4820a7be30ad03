#pragma once

#include "platform/Prompts.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QInputDialog;
class QMessageBox;

namespace kx::platform {

// Message boxes titled "Kalmotex" and input boxes with the caller's title, as modal Qt
// dialogs over the given parent window (a standalone input box over none).
class QtPrompts : public platform::Prompts
{
public:
    explicit QtPrompts(QWidget* parent = nullptr);

    void setParent(QWidget* parent) { m_parent = parent; }

    platform::PromptAnswer message(const std::string& text,
        platform::PromptIcon icon,
        platform::PromptButtons buttons,
        platform::PromptAnswer defaultAnswer) override;
    std::optional<std::string> input(
        const std::string& prompt, const std::string& title, const std::string& defaultText) override;
    std::optional<std::string> standaloneInput(const std::string& prompt, const std::string& title) override;

    // The boxes `message` and `input` show, built but not yet shown.
    std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text,
        platform::PromptIcon icon,
        platform::PromptButtons buttons,
        platform::PromptAnswer defaultAnswer) const;
    std::unique_ptr<QInputDialog> makeInputBox(
        const std::string& prompt, const std::string& title, const std::string& defaultText) const;

private:
    static std::unique_ptr<QInputDialog> makeInputBox(
        const std::string& prompt, const std::string& title, const std::string& defaultText, QWidget* parent);
    // Runs the box; its text, or nothing when cancelled.
    static std::optional<std::string> answer(QInputDialog& box);

    QPointer<QWidget> m_parent;
};

} // namespace kx::platform
