#include "transmit/Transmitter.h"

#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/KeyboardOutput.h"
#include "platform/Prompts.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/IgnoredTitles.h"
#include "text/Text.h"
#include "transmit/Clock.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/KeystrokeParser.h"
#include "transmit/Placeholders.h"
#include "transmit/WindowDebugLog.h"
#include "transmit/WindowTitle.h"

#include <ostream>
#include <set>
#include <sstream>

namespace kx::transmit {

Transmitter::Transmitter(SendServices services)
    : m_services(std::move(services))
{
}

bool Transmitter::sendEntry(int number)
{
    // The selection dialog and the no-target message run event loops of their own, and a
    // platform may handle events while it activates: a second send started from there
    // would type into the first one's window.
    if (m_sending)
        return false;
    m_sending = true;
    struct Done
    {
        bool& sending;
        ~Done() { sending = false; }
    } done { m_sending };
    if (const std::optional<PreparedSend> send = prepare(number))
        run(*send);
    return true;
}

std::optional<PreparedSend> Transmitter::prepare(int number)
{
    const store::Entry entry = m_services.entries.readEntry(number);
    std::string keys = expandedEntryText(entry, m_services.clock);
    if (entry.dosBox != 0) {
        if (!PasteIntoConsole(keys, m_services.clipboard, m_services.keyboard) && m_debug)
            *m_debug << "clipboard: could not take the text of entry " << number << '\n';
    } else {
        EncodeKeystrokes(keys);
    }
    const platform::WindowHandle target = chooseTarget(text::upperCase(text::trimSpaces(entry.title)));
    if (target == 0)
        return std::nullopt;
    KeystrokeParse parsed = parseKeystrokes(keys);
    if (!parsed.ok() && m_debug)
        *m_debug << "type into " << describe(target) << ": keystroke string not typed, " << parsed.error
                 << " at character " << parsed.errorPosition << '\n';
    return PreparedSend(target, std::move(parsed.strokes));
}

void Transmitter::run(const PreparedSend& send)
{
    if (!m_services.windows.activate(send.target()) && m_debug) {
        const std::string why = m_services.windows.activationError();
        *m_debug << (why.empty() ? "activate " + describe(send.target()) + ": not confirmed" : why)
                 << ", typing anyway\n";
    }
    m_services.events.processPendingEvents();
    const platform::TypingResult typed = m_services.keyboard.type(send.keys());
    ++m_typedSends;
    if (!typed.ok && m_debug)
        *m_debug << "type into " << describe(send.target()) << ": " << typed.error << '\n';
}

platform::WindowHandle Transmitter::chooseTarget(const std::string& upperCaseTitle)
{
    platform::WindowHandle target = 0;
    if (upperCaseTitle.empty()) {
        target = findLastUsedWindow();
    } else {
        const std::vector<WindowCandidate> candidates = findTitledWindows(upperCaseTitle);
        if (candidates.size() == 1)
            return candidates.front().window;
        if (candidates.size() > 1)
            return m_services.chooser.choose(candidates).value_or(0);
    }
    if (target == 0)
        reportNoTarget();
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

std::string Transmitter::describe(platform::WindowHandle window)
{
    std::ostringstream out;
    out << "0x" << std::hex << window << " '" << m_services.windows.windowTitle(window) << "'";
    return out.str();
}

std::string expandedEntryText(const store::Entry& entry, const Clock& clock)
{
    std::string text = store::UnescapeText(entry.text);
    ExpandPlaceholders(text, clock);
    return text;
}

} // namespace kx::transmit
