#pragma once

#include "platform/GlobalHotkey.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QSocketNotifier;

namespace kx::config {
class ConfigAccess;
}
namespace kx::platform {
class Prompts;
}

namespace kx::popup {

// The option `Hotkey` made real: the combination it names is grabbed from the whole
// desktop, and each press opens the popup menu at the pointer. The window the user works
// in keeps the focus, so it stays the target of a send. Runs on the GUI thread.
class HotkeyController : public QObject
{
    Q_OBJECT

public:
    struct Borrowed
    {
        config::ConfigAccess& config;
        platform::GlobalHotkey& hotkey;
        platform::Prompts& prompts;
        std::function<void()> openMenu; // opens the popup menu; returns when it has closed
        // Where the system's reason for a failed grab goes (debug mode); may be empty.
        std::function<void(const std::string&)> report = {};
    };

    explicit HotkeyController(Borrowed borrowed, QObject* parent = nullptr);
    ~HotkeyController() override;

    // Reads the option and grabs the combination it names, giving up the one held before.
    // When that fails (the text names no key, the keyboard lacks the key, another program
    // holds it) and `tellUser` is set, a message says so; the program goes on without.
    void apply(bool tellUser = true);
    // Gives the combination up until the next apply(), so that a key-sequence field can
    // record it.
    void suspend();

    // The combination held now, if any.
    const std::optional<platform::KeyCombination>& held() const { return m_held; }

private:
    void tell(const std::string& text);

    config::ConfigAccess& m_config;
    platform::GlobalHotkey& m_hotkey;
    platform::Prompts& m_prompts;
    std::function<void()> m_openMenu;
    std::function<void(const std::string&)> m_report;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<platform::KeyCombination> m_held;
};

} // namespace kx::popup
