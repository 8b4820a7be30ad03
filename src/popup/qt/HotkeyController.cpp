#include "popup/qt/HotkeyController.h"

#include "platform/Prompts.h"
#include "popup/HotkeyText.h"
#include "store/Options.h"

#include <QSocketNotifier>

namespace kx::popup {

namespace {

const std::string kChooseAnother = " Bitte wählen Sie unter Extras → Weitere Optionen eine andere.";

} // namespace

HotkeyController::HotkeyController(Borrowed borrowed, QObject* parent)
    : QObject(parent)
    , m_config(borrowed.config)
    , m_hotkey(borrowed.hotkey)
    , m_prompts(borrowed.prompts)
    , m_openMenu(std::move(borrowed.openMenu))
    , m_report(std::move(borrowed.report))
{
    // The menu opens from a pass of the event loop of its own, not from inside the
    // backend's event handling.
    m_hotkey.setPressedHandler([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_held && m_openMenu)
                    m_openMenu();
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
    m_hotkey.release();
    m_hotkey.setPressedHandler({});
}

void HotkeyController::apply(bool tellUser)
{
    m_held.reset();
    m_hotkey.release();
    const std::string stored = store::loadExtraOptions(m_config).hotkey;
    const ParsedHotkey parsed = parseHotkey(stored);
    if (!parsed.combination) {
        if (!parsed.error.empty() && tellUser)
            tell("Die Tastenkombination „" + stored + "“ ist ungültig: " + parsed.error + "."
                + kChooseAnother);
        return;
    }
    const platform::HotkeyResult result = m_hotkey.grab(*parsed.combination);
    // Events read from the connection while grabbing wait in the backend's queue, where no
    // descriptor tells of them.
    m_hotkey.dispatchEvents();
    if (result.status == platform::HotkeyStatus::Grabbed) {
        m_held = parsed.combination;
        return;
    }
    if (m_report)
        m_report(result.error);
    if (!tellUser)
        return;
    const std::string shown = germanHotkeyText(*parsed.combination);
    if (result.status == platform::HotkeyStatus::Taken)
        tell("Die Tastenkombination " + shown + " wird schon von einem anderen Programm verwendet."
            + kChooseAnother);
    else
        tell("Die Tastenkombination " + shown + " gibt es auf dieser Tastatur nicht." + kChooseAnother);
}

void HotkeyController::suspend()
{
    m_held.reset();
    m_hotkey.release();
}

void HotkeyController::tell(const std::string& text)
{
    m_prompts.message(text,
        platform::PromptIcon::Warning,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

} // namespace kx::popup
