#include "popup/qt/HotkeyController.h"

#include "platform/Prompts.h"
#include "popup/EntryHotkeys.h"
#include "popup/HotkeyText.h"
#include "store/Options.h"

#include <QSocketNotifier>

namespace kx::popup {

namespace {

const std::string kChooseAnother = " Bitte wählen Sie unter Extras → Weitere Optionen eine andere.";
// Entries are numbered from 1, so their numbers never meet the menu's id.
constexpr int kMenuId = 0;

// Why a combination could not be held, as the end of the sentence that names it.
std::string grabFailure(platform::HotkeyStatus status)
{
    return status == platform::HotkeyStatus::Taken ? " wird schon von einem anderen Programm verwendet."
                                                   : " gibt es auf dieser Tastatur nicht.";
}

} // namespace

HotkeyController::HotkeyController(Borrowed borrowed, QObject* parent)
    : QObject(parent)
    , m_config(borrowed.config)
    , m_hotkey(borrowed.hotkey)
    , m_prompts(borrowed.prompts)
    , m_openMenu(std::move(borrowed.openMenu))
    , m_report(std::move(borrowed.report))
    , m_entries(borrowed.entries)
    , m_sendEntry(std::move(borrowed.sendEntry))
{
    // The menu opens, and an entry is sent, from a pass of the event loop of its own, not
    // from inside the backend's event handling.
    m_hotkey.setPressedHandler([this](int id) {
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                if (id == kMenuId && m_held && m_openMenu)
                    m_openMenu();
                else if (id != kMenuId && m_sendEntry)
                    m_sendEntry(id);
            },
            Qt::QueuedConnection);
    });
    const int descriptor = m_hotkey.eventDescriptor();
    if (descriptor >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { m_hotkey.dispatchEvents(); });
    }
}

HotkeyController::~HotkeyController()
{
    m_notifier.reset();
    m_hotkey.releaseAll();
    m_hotkey.setPressedHandler({});
}

void HotkeyController::apply(bool tellUser)
{
    suspend();
    const std::string stored = store::loadExtraOptions(m_config).hotkey;
    const ParsedHotkey parsed = parseHotkey(stored);
    if (parsed.combination) {
        const platform::HotkeyResult result = m_hotkey.grab(kMenuId, *parsed.combination);
        // Events read from the connection while grabbing wait in the backend's queue, where
        // no descriptor tells of them.
        m_hotkey.dispatchEvents();
        if (result.status == platform::HotkeyStatus::Grabbed)
            m_held = parsed.combination;
        else if (m_report)
            m_report(result.error);
        if (!m_held && tellUser)
            tell("Die Tastenkombination " + germanHotkeyText(*parsed.combination) + grabFailure(result.status)
                + kChooseAnother);
    } else if (!parsed.error.empty() && tellUser) {
        tell("Die Tastenkombination „" + stored + "“ ist ungültig: " + parsed.error + "." + kChooseAnother);
    }
    grabEntries(tellUser);
}

void HotkeyController::grabEntries(bool tellUser)
{
    if (!m_entries)
        return;
    // One message for all that failed, a line each: a start with many taken needs one click.
    std::string refusals;
    for (const EntryHotkey& entry : usableEntryHotkeys(m_entries->entriesWithHotkeys(), menuCombination())) {
        if (const std::string refused = grabForEntry(entry.number, entry.name, entry.combination);
            !refused.empty())
            refusals += (refusals.empty() ? "" : "\n") + refused;
    }
    if (!refusals.empty() && tellUser)
        tell(refusals);
}

bool HotkeyController::acceptMenuHotkey(const std::string& text)
{
    const std::optional<platform::KeyCombination> combination = parseHotkey(text).combination;
    if (!combination || !m_entries)
        return true;
    // The menu's id is no entry's number, so every entry counts as another one here.
    const std::string refused
        = entryHotkeyRefusal(kMenuId, *combination, m_entries->entriesWithHotkeys(), std::nullopt);
    if (!refused.empty())
        tell(refused);
    return refused.empty();
}

bool HotkeyController::acceptEntryHotkey(int number, const std::string& text)
{
    const ParsedHotkey parsed = parseHotkey(text);
    if (!parsed.combination) {
        if (!parsed.error.empty())
            tell("Die Tastenkombination „" + text + "“ ist ungültig: " + parsed.error + ".");
        return parsed.error.empty();
    }
    if (!m_entries)
        return false;
    std::string refused
        = entryHotkeyRefusal(number, *parsed.combination, m_entries->entriesWithHotkeys(), menuCombination());
    if (refused.empty())
        refused = grabForEntry(number, m_entries->readEntry(number).name, *parsed.combination);
    if (!refused.empty())
        tell(refused);
    return refused.empty();
}

std::string HotkeyController::grabForEntry(
    int number, const std::string& name, const platform::KeyCombination& combination)
{
    const platform::HotkeyResult result = m_hotkey.grab(number, combination);
    m_hotkey.dispatchEvents();
    if (result.status == platform::HotkeyStatus::Grabbed)
        return {};
    if (m_report)
        m_report("entry " + std::to_string(number) + ": " + result.error);
    return "Die Tastenkombination " + germanHotkeyText(combination) + " für den Textbaustein »" + name + "«"
        + grabFailure(result.status);
}

std::optional<platform::KeyCombination> HotkeyController::menuCombination() const
{
    return parseHotkey(store::loadExtraOptions(m_config).hotkey).combination;
}

void HotkeyController::suspend()
{
    m_held.reset();
    m_hotkey.releaseAll();
}

void HotkeyController::tell(const std::string& text)
{
    m_prompts.message(text,
        platform::PromptIcon::Warning,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

} // namespace kx::popup
