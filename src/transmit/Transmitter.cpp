#include "transmit/Transmitter.h"

#include "app/Prompts.h"
#include "app/Text.h"
#include "platform/Clipboard.h"
#include "platform/KeyboardOutput.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/IgnoredTitles.h"
#include "transmit/Clock.h"
#include "transmit/KeystrokeEncoding.h"
#include "transmit/KeystrokeParser.h"
#include "transmit/Placeholders.h"
#include "transmit/WindowDebugLog.h"

#include <ostream>
#include <set>
#include <sstream>

namespace kx::transmit {

namespace {

constexpr std::size_t maxTitleLength = 127;

} // namespace

Transmitter::Transmitter(store::EntryStore& entries,
    const store::IgnoredTitles& ignoredTitles,
    platform::WindowSystem& windows,
    platform::KeyboardOutput& keyboard,
    platform::Clipboard& clipboard,
    app::Prompts& prompts,
    WindowChooser& chooser,
    WindowDebugLog& debugLog,
    const Clock& clock,
    std::function<platform::WindowHandle()> mainWindow)
    : m_entries(entries)
    , m_ignoredTitles(ignoredTitles)
    , m_windows(windows)
    , m_keyboard(keyboard)
    , m_clipboard(clipboard)
    , m_prompts(prompts)
    , m_chooser(chooser)
    , m_debugLog(debugLog)
    , m_clock(clock)
    , m_mainWindow(std::move(mainWindow))
{
}

void Transmitter::sendEntry(int number)
{
    const store::Entry entry = m_entries.readEntry(number);
    m_sendText = store::UnescapeText(entry.text);
    m_targetTitle = entry.title;
    ExpandPlaceholders(m_sendText, m_clock);
    if (entry.dosBox != 0) {
        if (!PasteIntoConsole(m_sendText, m_clipboard, m_keyboard) && m_debug)
            *m_debug << "clipboard: could not take the text of entry " << number << '\n';
    } else {
        EncodeKeystrokes(m_sendText);
    }
    m_targetTitle = app::upperCase(app::trimSpaces(m_targetTitle));
    if (!m_targetTitle.empty())
        sendToTitledWindow();
    else
        sendToLastUsedWindow();
}

void Transmitter::sendToLastUsedWindow()
{
    const platform::WindowHandle window = findLastUsedWindow();
    if (window == 0)
        reportNoTarget();
    else
        activateAndType(window);
}

void Transmitter::sendToTitledWindow()
{
    m_targetCandidates.clear();
    for (const platform::WindowHandle window : m_windows.topLevelWindows()) {
        if (!collectTitledWindow(window))
            break;
    }
    if (m_targetCandidates.empty()) {
        reportNoTarget();
    } else if (m_targetCandidates.size() == 1) {
        activateAndType(m_targetCandidates.front().hwnd);
    } else {
        // A copy: the chooser may outlive a later search that replaces the candidates.
        const std::vector<WindowCandidate> candidates = m_targetCandidates;
        m_chooser.choose(candidates, [this](platform::WindowHandle chosen) { activateAndType(chosen); });
    }
}

platform::WindowHandle Transmitter::findLastUsedWindow()
{
    m_debugLog.clear();
    m_debugLog.addLine("--- " + formatLocalTime("%X", m_clock.now()) + " " + std::string(44, '-'));
    const std::string own = app::lowerCase("Kalmotex");
    platform::WindowHandle result = 0;
    // A window system that reports a cycle must not hang the send.
    std::set<platform::WindowHandle> seen;
    platform::WindowHandle window = m_mainWindow ? m_mainWindow() : 0;
    while (true) {
        window = m_windows.windowAbove(window);
        if (window == 0 || !seen.insert(window).second)
            return result;
        if (!m_windows.isWindowVisible(window))
            continue;
        const std::string title = getWindowTitle(window);
        if (title.empty() || app::lowerCase(title).find(own) != std::string::npos
            || m_ignoredTitles.contains(title))
            continue;
        result = window;
        m_debugLog.addLine(getWindowTitle(window));
    }
}

bool Transmitter::collectTitledWindow(platform::WindowHandle window)
{
    const std::string title = getWindowTitle(window);
    if (!title.empty() && app::upperCase(title).find(m_targetTitle) != std::string::npos)
        m_targetCandidates.push_back({ title, window });
    return true;
}

std::string Transmitter::getWindowTitle(platform::WindowHandle window)
{
    std::u32string title = app::toUtf32(m_windows.windowTitle(window));
    if (title.size() > maxTitleLength)
        title.resize(maxTitleLength);
    return app::toUtf8(title);
}

void Transmitter::reportNoTarget()
{
    m_prompts.message(
        "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.",
        app::PromptIcon::Critical,
        app::PromptButtons::Ok,
        app::PromptAnswer::Ok);
}

void Transmitter::activateAndType(platform::WindowHandle window)
{
    // Parsed first: a send started by the event pass below must not change what this one types.
    const KeystrokeParse keys = parseKeystrokes(m_sendText);
    if (!m_windows.activate(window)) {
        // The keys would go to whichever window has the focus now: one the user did not choose.
        if (m_debug) {
            const std::string why = m_windows.activationError();
            *m_debug << (why.empty() ? "activate " + describe(window) + ": not confirmed" : why)
                     << ", send abandoned\n";
        }
        m_prompts.message(
            "Das Zielfenster konnte nicht aktiviert werden.\rDie Übertragung wird daher abgebrochen.",
            app::PromptIcon::Critical,
            app::PromptButtons::Ok,
            app::PromptAnswer::Ok);
        return;
    }
    if (m_processEvents)
        m_processEvents();
    if (!keys.ok()) {
        if (m_debug)
            *m_debug << "type into " << describe(window) << ": keystroke string not typed, " << keys.error
                     << " at character " << keys.errorPosition << '\n';
        return;
    }
    const platform::TypingResult typed = m_keyboard.type(keys.strokes);
    if (!typed.ok && m_debug)
        *m_debug << "type into " << describe(window) << ": " << typed.error << '\n';
}

std::string Transmitter::describe(platform::WindowHandle window)
{
    std::ostringstream out;
    out << "0x" << std::hex << window << " '" << m_windows.windowTitle(window) << "'";
    return out.str();
}

} // namespace kx::transmit
