#pragma once

#include "platform/WindowSystem.h"

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace kx::transmit {

// How a send ended.
enum class SendOutcome
{
    Complete, // every key was typed
    FocusLost, // the target lost the keyboard focus and typing stopped
    NoTarget, // no window qualified; nothing was typed
    Busy, // another send was still under way; this one did nothing
    SelectionCancelled, // the user cancelled the choice among several windows
    InputCancelled, // the user cancelled a question of the text ("%eingabe=...%")
    TypingFailed, // the keyboard stopped for a reason of its own (a keymap change refused), or
                  // the clipboard refused a console entry's text and nothing was typed
};

// The outcome as the window debugger shows it, in German ("vollständig", ...).
std::string outcomeText(SendOutcome outcome);

// One send as the log keeps it. Deliberately without the text: snippets may hold
// passwords, and the log is shown to whoever looks at the screen.
struct SendRecord
{
    std::tm time {}; // local time when the send began
    std::string entryName;
    std::string targetTitle; // empty when no window was chosen
    std::size_t charactersTyped = 0; // characters of the text as the user sees them
    std::size_t charactersTotal = 0; // 0 when the text was not read (a refused send)
    SendOutcome outcome = SendOutcome::Complete;
    // How the window was activated, as activationText() words it; empty when no activation
    // was tried.
    std::string activation;
};

// The activation as the window debugger shows it: "_NET_ACTIVE_WINDOW, bestätigt durch
// FocusIn", "bereits aktiv", "_NET_ACTIVE_WINDOW, nicht bestätigt".
std::string activationText(const platform::ActivationResult& activation);

// The last sends, kept in memory only: a ring of `capacity` records, the oldest dropped
// first.
class SendLog
{
public:
    static constexpr std::size_t capacity = 50;

    void add(SendRecord record);
    std::size_t size() const { return m_records.size(); }
    // Index 0 is the newest record.
    const SendRecord& newest(std::size_t index) const;

    // Called after every change; pass an empty function to stop listening.
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

private:
    std::vector<SendRecord> m_records; // grows to `capacity`, then overwritten in a ring
    std::size_t m_next = 0; // where the next record goes once the ring is full
    std::function<void()> m_onChanged;
};

// The "Zeichen" column: "120 von 480" when the send stopped part way, else the count.
std::string describeCharacters(const SendRecord& record);

} // namespace kx::transmit
