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
namespace kx::store {
class EntryStore;
}

namespace kx::popup {

// The option `Hotkey` and the entries' own combinations made real: each is grabbed from
// the whole desktop; a press of the option's opens the popup menu at the pointer, a press
// of an entry's sends that entry as its menu item would. The window the user works in keeps
// the focus, so it stays the target of a send. Runs on the GUI thread.
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
        // The entries whose combinations are held, and what a press of one does; null and
        // empty: the menu's combination only.
        store::EntryStore* entries = nullptr;
        std::function<void(int number)> sendEntry = {};
    };

    explicit HotkeyController(Borrowed borrowed, QObject* parent = nullptr);
    ~HotkeyController() override;

    // Reads the option and grabs the combination it names, giving up those held before.
    // When that fails (the text names no key, the keyboard lacks the key, another program
    // holds it) and `tellUser` is set, a message says so; the program goes on without.
    // Then grabs the entries' combinations as the file holds them now (usableEntryHotkeys);
    // when some fail and `tellUser` is set, one message names each with its entry.
    void apply(bool tellUser = true);
    // Gives the combinations up until the next apply(), so that a key-sequence field can
    // record one.
    void suspend();
    // Whether entry `number` may have the combination `text` names: false, after a message
    // naming why, when the text is invalid, the menu or another entry has it, another
    // program holds it or the keyboard lacks the key. Writes nothing; apply() grabs it once
    // the file holds it. An empty text (no hotkey) is always fine.
    bool acceptEntryHotkey(int number, const std::string& text);
    // Whether the menu may open with the combination `text` names: false, after a message
    // naming the entry, when an entry has it. Texts that name no combination are left to
    // apply(), which reports them; writes and grabs nothing.
    bool acceptMenuHotkey(const std::string& text);
    // Whether entries can have combinations of their own here.
    bool handlesEntries() const { return m_entries != nullptr; }

    // The combination held now, if any.
    const std::optional<platform::KeyCombination>& held() const { return m_held; }

private:
    void tell(const std::string& text);
    void grabEntries(bool tellUser);
    // The combination the option names, held or not (it is not while suspended).
    std::optional<platform::KeyCombination> menuCombination() const;
    // Grabs `combination` for entry `number` (named `name`); the message for a grab that
    // failed, empty when it succeeded.
    std::string grabForEntry(
        int number, const std::string& name, const platform::KeyCombination& combination);

    config::ConfigAccess& m_config;
    platform::GlobalHotkey& m_hotkey;
    platform::Prompts& m_prompts;
    std::function<void()> m_openMenu;
    std::function<void(const std::string&)> m_report;
    store::EntryStore* m_entries;
    std::function<void(int)> m_sendEntry;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<platform::KeyCombination> m_held;
};

} // namespace kx::popup
