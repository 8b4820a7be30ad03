#include "transmit/Transmitter.h"

#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/KeyboardOutput.h"
#include "platform/Prompts.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/IgnoredTitles.h"
#include "store/Options.h"
#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/KeystrokeParser.h"
#include "transmit/Placeholders.h"
#include "transmit/TypedCharacters.h"
#include "transmit/WindowDebugLog.h"
#include "transmit/WindowTitle.h"

#include <algorithm>
#include <ostream>
#include <set>
#include <sstream>

namespace kx::transmit {

Transmitter::Transmitter(SendServices services)
    : m_services(std::move(services))
{
}

bool Transmitter::sendEntry(int number) { return sendEntry(m_services.entries, number); }

bool Transmitter::sendEntry(store::EntryStore& source, int number)
{
    SendRecord record;
    record.time = m_services.clock.now();
    // The selection dialog and the no-target message run event loops of their own, and a
    // platform may handle events while it activates: a second send started from there
    // would type into the first one's window.
    if (m_sending) {
        record.entryName = source.readEntry(number).name;
        record.outcome = SendOutcome::Busy;
        m_sendLog.add(std::move(record));
        return false;
    }
    m_sending = true;
    struct Done
    {
        bool& sending;
        ~Done() { sending = false; }
    } done { m_sending };
    if (const std::optional<PreparedSend> send = prepare(source, number, record)) {
        const SendResult result = run(*send);
        record.outcome = result.outcome;
        record.charactersTyped = result.charactersTyped;
        record.activation = activationText(result.activation);
    }
    m_sendLog.add(std::move(record));
    return true;
}

std::optional<PreparedSend> Transmitter::prepare(store::EntryStore& source, int number, SendRecord& record)
{
    const store::Entry entry = source.readEntry(number);
    record.entryName = entry.name;
    const PlaceholderInputs inputs { [this] { return m_services.clipboard.readText(); },
        [this](const std::string& question) {
            return m_services.prompts.standaloneInput(question, "[Kalmotex] - Eingabe");
        } };
    std::optional<ExpandedText> expanded = expandedEntryText(entry, m_services.clock, inputs);
    if (!expanded) {
        record.outcome = SendOutcome::InputCancelled;
        return std::nullopt;
    }
    std::string keys = std::move(expanded->text);
    const std::size_t characters = visibleCharacterCount(keys);
    record.charactersTotal = characters;
    const bool pastes = entry.dosBox;
    if (pastes) {
        // Pasting whatever the clipboard held before would send the wrong text, perhaps
        // one the user never meant to leave this program.
        if (const text::Result put = m_services.clipboard.setText(keys); !put) {
            if (m_debug)
                *m_debug << "entry " << number << ": " << put.error() << ", nothing typed\n";
            record.outcome = SendOutcome::TypingFailed;
            reportClipboardRefused();
            return std::nullopt;
        }
        keys = m_services.keyboard.consolePasteSequence();
    } else {
        keys = encodeKeystrokes(keys);
    }
    const platform::WindowHandle target
        = chooseTarget(text::upperCase(text::trimSpaces(entry.title)), record);
    if (target == 0)
        return std::nullopt;
    record.targetTitle = windowTitle(target);
    KeystrokeParse parsed = parseKeystrokes(keys);
    if (!parsed.ok() && m_debug)
        *m_debug << "type into " << describe(target) << ": keystroke string not typed, " << parsed.error
                 << " at character " << parsed.errorPosition << '\n';
    if (parsed.ok())
        parsed.strokes.insert(parsed.strokes.end(),
            expanded->charactersAfterCursor,
            platform::KeyStroke { platform::NamedKey::Left });
    return PreparedSend(target, std::move(parsed.strokes), characters, pastes);
}

SendResult Transmitter::run(const PreparedSend& send)
{
    SendResult result;
    result.activation = m_services.windows.activate(send.target());
    if (m_debug) {
        const platform::ActivationResult& activation = result.activation;
        if (activation.confirmed)
            *m_debug << "activate " << describe(send.target()) << ": "
                     << (activation.request.empty()
                                ? std::string("active already")
                                : activation.request + ", confirmed by " + activation.confirmation)
                     << '\n';
        else
            *m_debug << (activation.error.empty() ? "activate " + describe(send.target()) + ": not confirmed"
                                                  : activation.error)
                     << ", typing anyway\n";
    }
    m_services.events.processPendingEvents();
    platform::TypingGuard guard;
    if (store::loadExtraOptions(m_services.entries.config()).focusGuard)
        guard = [this, target = send.target()] { return m_services.windows.hasKeyboardFocus(target); };
    const platform::TypingResult typed = m_services.keyboard.type(send.keys(), guard);
    if (!typed.stoppedByGuard)
        ++m_typedSends;
    if (!typed.ok && m_debug)
        *m_debug << "type into " << describe(send.target()) << ": " << typed.error << '\n';

    const bool complete = typed.strokesTyped >= send.keys().size();
    if (send.pastes())
        result.charactersTyped = complete ? send.characters() : 0;
    else
        result.charactersTyped
            = std::min(charactersOfStrokes(send.keys(), typed.strokesTyped), send.characters());
    if (typed.stoppedByGuard) {
        result.outcome = SendOutcome::FocusLost;
        if (m_debug)
            *m_debug << "type into " << describe(send.target()) << ": the window lost the focus after "
                     << typed.strokesTyped << " of " << send.keys().size() << " keys\n";
        reportFocusLost(result.charactersTyped, send.characters());
    } else if (!complete) {
        result.outcome = SendOutcome::TypingFailed;
    }
    return result;
}

platform::WindowHandle Transmitter::chooseTarget(const std::string& upperCaseTitle, SendRecord& record)
{
    platform::WindowHandle target = 0;
    if (upperCaseTitle.empty()) {
        target = findLastUsedWindow();
    } else {
        const std::vector<WindowCandidate> candidates = findTitledWindows(upperCaseTitle);
        if (candidates.size() == 1)
            return candidates.front().window;
        if (candidates.size() > 1) {
            target = m_services.chooser.choose(candidates).value_or(0);
            if (target == 0)
                record.outcome = SendOutcome::SelectionCancelled;
            return target;
        }
    }
    if (target == 0) {
        record.outcome = SendOutcome::NoTarget;
        reportNoTarget();
    }
    return target;
}

platform::WindowHandle Transmitter::findLastUsedWindow()
{
    m_services.debugLog.clear();
    m_services.debugLog.addLine(
        "--- " + formatLocalTime("%X", m_services.clock.now()) + " " + std::string(44, '-'));
    const std::string own = text::lowerCase("Kalmotex");
    platform::WindowHandle result = 0;
    // A window system that reports a cycle must not hang the send.
    std::set<platform::WindowHandle> seen;
    platform::WindowHandle window = m_services.mainWindow ? m_services.mainWindow() : 0;
    while (true) {
        window = m_services.windows.windowAbove(window);
        if (window == 0 || !seen.insert(window).second)
            return result;
        if (!m_services.windows.isWindowVisible(window))
            continue;
        const std::string title = windowTitle(window);
        if (title.empty() || text::lowerCase(title).find(own) != std::string::npos
            || m_services.ignoredTitles.contains(title))
            continue;
        result = window;
        m_services.debugLog.addLine(windowTitle(window));
    }
}

std::vector<WindowCandidate> Transmitter::findTitledWindows(const std::string& upperCaseTitle)
{
    std::vector<WindowCandidate> candidates;
    for (const platform::WindowHandle window : m_services.windows.topLevelWindows()) {
        const std::string title = windowTitle(window);
        if (!title.empty() && text::upperCase(title).find(upperCaseTitle) != std::string::npos)
            candidates.push_back({ title, window });
    }
    return candidates;
}

std::string Transmitter::windowTitle(platform::WindowHandle window)
{
    return readWindowTitle(m_services.windows, window);
}

void Transmitter::reportNoTarget()
{
    m_services.prompts.message(
        "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.",
        platform::PromptIcon::Critical,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

void Transmitter::reportClipboardRefused()
{
    m_services.prompts.message("Der Text konnte nicht in die Zwischenablage gelegt werden.\rDie Übertragung "
                               "in das Konsolenfenster wird daher abgebrochen.",
        platform::PromptIcon::Critical,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

void Transmitter::reportFocusLost(std::size_t typed, std::size_t total)
{
    m_services.prompts.message(
        "Die Übertragung wurde abgebrochen, weil das Zielfenster nicht mehr aktiv ist.\r"
        "Übertragen wurden "
            + std::to_string(typed) + " von " + std::to_string(total) + " Zeichen.",
        platform::PromptIcon::Warning,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

std::string Transmitter::describe(platform::WindowHandle window)
{
    std::ostringstream out;
    out << "0x" << std::hex << window << " '" << m_services.windows.windowTitle(window) << "'";
    return out.str();
}

std::string expandedEntryText(const store::Entry& entry, const Clock& clock)
{
    return expandPlaceholders(store::unescapeText(entry.text), clock);
}

std::optional<ExpandedText> expandedEntryText(
    const store::Entry& entry, const Clock& clock, const PlaceholderInputs& inputs)
{
    return expandPlaceholders(store::unescapeText(entry.text), clock, inputs);
}

} // namespace kx::transmit
