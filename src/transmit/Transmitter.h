#pragma once

#include "platform/KeyStroke.h"
#include "platform/WindowSystem.h"
#include "transmit/Placeholders.h"
#include "transmit/SendLog.h"
#include "transmit/WindowChooser.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kx::platform {
class Prompts;
class Clipboard;
class EventPump;
class KeyboardOutput;
} // namespace kx::platform
namespace kx::store {
struct Entry;
class EntryStore;
class IgnoredTitles;
} // namespace kx::store

namespace kx::transmit {

class Clock;
class WindowDebugLog;

// What the send pipeline works with. All borrowed; they must outlive the Transmitter.
struct SendServices
{
    store::EntryStore& entries;
    const store::IgnoredTitles& ignoredTitles;
    platform::WindowSystem& windows;
    platform::KeyboardOutput& keyboard;
    platform::Clipboard& clipboard;
    platform::Prompts& prompts;
    WindowChooser& chooser;
    WindowDebugLog& debugLog;
    const Clock& clock;
    platform::EventPump& events;
    // The program's main window, where the last-used walk starts; 0 for none. Asked at
    // every send, as the window may be created late or recreated.
    std::function<platform::WindowHandle()> mainWindow;
};

// One send, ready to run: the key actions and the window they go to. Fixed when prepared,
// so nothing that happens while it runs changes what it types or where.
class PreparedSend
{
public:
    // `characters`: the text's length as the user sees it (visibleCharacterCount);
    // `pastes`: the keys paste the text from the clipboard instead of typing it.
    PreparedSend(platform::WindowHandle target,
        platform::KeyStrokes keys,
        std::size_t characters = 0,
        bool pastes = false)
        : m_target(target)
        , m_keys(std::move(keys))
        , m_characters(characters)
        , m_pastes(pastes)
    {
    }

    platform::WindowHandle target() const { return m_target; }
    const platform::KeyStrokes& keys() const { return m_keys; }
    std::size_t characters() const { return m_characters; }
    bool pastes() const { return m_pastes; }

private:
    platform::WindowHandle m_target;
    platform::KeyStrokes m_keys;
    std::size_t m_characters;
    bool m_pastes;
};

// How the typing of a prepared send ended.
struct SendResult
{
    SendOutcome outcome = SendOutcome::Complete;
    std::size_t charactersTyped = 0;
    platform::ActivationResult activation;
};

// The send pipeline, from the entry number to the keystrokes in the target window, one
// send at a time. Keeps nothing from one send to the next.
class Transmitter
{
public:
    explicit Transmitter(SendServices services);

    // Diagnostics of failed activations, typing and malformed keystroke strings go here;
    // nothing is written while it is null (the default).
    void setDebugOutput(std::ostream* out) { m_debug = out; }

    // The whole send of entry `number`: prepare(), then run(). Returns false, doing nothing
    // but noting it in the send log, when it is called while a send is still under way
    // (from an event handled during that send); true otherwise, also when no window was
    // found or the choice cancelled. Every call adds one record to the send log.
    bool sendEntry(int number);
    // The same for entry `number` of `source` (the team file): read from there, sent like
    // one's own; the options still come from the program's own file.
    bool sendEntry(store::EntryStore& source, int number);
    // Whether a send is under way now (it may be waiting in the selection dialog or the
    // no-target message).
    bool isSending() const { return m_sending; }
    // How many sends have reached their typing so far (with or without a typing error).
    int typedSends() const { return m_typedSends; }

    // The last sends (never their texts), for the window debugger.
    SendLog& sendLog() { return m_sendLog; }

    // The visible, titled window highest above the main window that is neither one of the
    // program's own (title containing "kalmotex" in any case) nor ignored; 0 when none.
    // Lists the walk in the debug log: a header line, then each qualifying title.
    platform::WindowHandle findLastUsedWindow();
    // Every window whose title contains `upperCaseTitle` (trimmed, in upper case), top of
    // the stack first.
    std::vector<WindowCandidate> findTitledWindows(const std::string& upperCaseTitle);
    // The title cut to 127 characters.
    std::string windowTitle(platform::WindowHandle window);

private:
    // Reads entry `number` as the configuration file holds it now (unscrambled, unescaped,
    // placeholders expanded, its questions asked in input boxes titled "[Kalmotex] -
    // Eingabe") and turns it into key actions, with Left presses after them that bring the
    // caret back to a "%cursor%"; a console entry puts its text on the clipboard and types
    // the platform's paste keys. Chooses the window: the one whose title contains the
    // entry's title, with the selection dialog when several do, or the last used window
    // when the title is empty. Nothing when a question or the choice was cancelled, the
    // clipboard refused a console entry's text or no window qualifies (a message has said
    // so in the last two cases); `record` notes the entry's name, the chosen window's title
    // and why nothing came of it.
    std::optional<PreparedSend> prepare(store::EntryStore& source, int number, SendRecord& record);
    // Activates the send's window (debug output names the way it took and what confirmed
    // it), handles pending events except user input once, then types the keys. When the
    // activation is not confirmed the keys are typed all the same; they go wherever the
    // focus is. With the option `FocusGuard` on (read now), typing stops as soon as the
    // window no longer has the keyboard focus, and a message says how many characters
    // were typed.
    SendResult run(const PreparedSend& send);
    platform::WindowHandle chooseTarget(const std::string& upperCaseTitle, SendRecord& record);
    void reportFocusLost(std::size_t typed, std::size_t total);
    void reportNoTarget();
    void reportClipboardRefused();
    std::string describe(platform::WindowHandle window);

    SendServices m_services;
    std::ostream* m_debug = nullptr;
    bool m_sending = false;
    int m_typedSends = 0;
    SendLog m_sendLog;
};

// The entry's text as a send types it: unescaped and with its placeholders expanded.
std::string expandedEntryText(const store::Entry& entry, const Clock& clock);
// The same with the clipboard and the questions; nothing when a question was cancelled.
std::optional<ExpandedText> expandedEntryText(
    const store::Entry& entry, const Clock& clock, const PlaceholderInputs& inputs);

} // namespace kx::transmit
