#pragma once

#include "platform/WindowSystem.h"
#include "transmit/WindowChooser.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kx::app {
class Prompts;
}
namespace kx::platform {
class Clipboard;
class KeyboardOutput;
} // namespace kx::platform
namespace kx::store {
class EntryStore;
class IgnoredTitles;
} // namespace kx::store

namespace kx::transmit {

class Clock;
class WindowDebugLog;

// One send, from the entry number to the keystrokes in the target window. Holds the text
// being prepared, the target title and the candidates of the last title search; nothing
// else survives from one send to the next. All collaborators are borrowed and must outlive
// the object.
class Transmitter
{
public:
    // `mainWindow` yields the program's main window, where the last-used walk starts
    // (asked at every send, as the window may be created late or recreated).
    Transmitter(store::EntryStore& entries,
        const store::IgnoredTitles& ignoredTitles,
        platform::WindowSystem& windows,
        platform::KeyboardOutput& keyboard,
        platform::Clipboard& clipboard,
        app::Prompts& prompts,
        WindowChooser& chooser,
        WindowDebugLog& debugLog,
        const Clock& clock,
        std::function<platform::WindowHandle()> mainWindow);

    // Diagnostics of failed activations, typing and malformed keystroke strings go here;
    // nothing is written while it is null (the default).
    void setDebugOutput(std::ostream* out) { m_debug = out; }
    // Runs the program's pending events once between activation and typing.
    void setEventPump(std::function<void()> processEvents) { m_processEvents = std::move(processEvents); }

    // The whole send of entry `number`, read from the configuration file now: load,
    // unescape, expand, paste-or-encode, then the title search or the last-used walk.
    // Returns when the keys are typed, the chooser is closed or the message confirmed.
    void sendEntry(int number);

    void sendToLastUsedWindow();
    // Searches for windows whose title contains targetTitle() (which must already be
    // trimmed and in upper case).
    void sendToTitledWindow();
    // The visible, titled window highest above the main window that is neither one of the
    // program's own (title containing "kalmotex" in any case) nor ignored; 0 when none.
    // Lists the walk in the debug log: a header line, then each qualifying title.
    platform::WindowHandle findLastUsedWindow();
    // Appends the window to targetCandidates() when its title contains targetTitle().
    // Always true (the enumeration goes on).
    bool collectTitledWindow(platform::WindowHandle window);
    // The title cut to 127 characters.
    std::string getWindowTitle(platform::WindowHandle window);
    void reportNoTarget();
    // Activates the window, lets pending events run once, then types sendText(). A string
    // that does not parse types nothing; an activation that fails abandons the send with a
    // message.
    void activateAndType(platform::WindowHandle window);

    const std::string& sendText() const { return m_sendText; }
    void setSendText(std::string keys) { m_sendText = std::move(keys); }
    const std::string& targetTitle() const { return m_targetTitle; }
    void setTargetTitle(std::string upperCaseTitle) { m_targetTitle = std::move(upperCaseTitle); }
    const std::vector<WindowCandidate>& targetCandidates() const { return m_targetCandidates; }

private:
    std::string describe(platform::WindowHandle window);

    store::EntryStore& m_entries;
    const store::IgnoredTitles& m_ignoredTitles;
    platform::WindowSystem& m_windows;
    platform::KeyboardOutput& m_keyboard;
    platform::Clipboard& m_clipboard;
    app::Prompts& m_prompts;
    WindowChooser& m_chooser;
    WindowDebugLog& m_debugLog;
    const Clock& m_clock;
    std::function<platform::WindowHandle()> m_mainWindow;
    std::function<void()> m_processEvents;
    std::ostream* m_debug = nullptr;

    std::string m_sendText;
    std::string m_targetTitle;
    std::vector<WindowCandidate> m_targetCandidates;
};

} // namespace kx::transmit
