#include "app/qt/InstanceServer.h"

#include "popup/qt/TrayController.h"

namespace kx::app {

namespace {

InstanceAnswer answerFor(popup::TrayController::RequestOutcome outcome)
{
    using Outcome = popup::TrayController::RequestOutcome;
    switch (outcome) {
    case Outcome::Typed:
        return InstanceAnswer::Ok;
    case Outcome::NothingTyped:
        return InstanceAnswer::NotTyped;
    case Outcome::NoSuchEntry:
        return InstanceAnswer::NoEntry;
    case Outcome::Busy:
        break;
    }
    return InstanceAnswer::Busy;
}

} // namespace

InstanceServer::InstanceServer(
    popup::TrayController& tray, std::function<void()> showMainWindow, QObject* parent)
    : QObject(parent)
    , m_tray(tray)
    , m_showMainWindow(std::move(showMainWindow))
{
}

InstanceAnswer InstanceServer::handle(const std::string& requestLine)
{
    const std::optional<InstanceRequest> request = parseInstanceRequest(requestLine);
    if (!request)
        return InstanceAnswer::BadRequest;
    if (request->command == InstanceCommand::Show) {
        if (m_showMainWindow)
            m_showMainWindow();
        return InstanceAnswer::Ok;
    }
    if (request->command == InstanceCommand::Menu)
        return m_tray.requestMenu() ? InstanceAnswer::Ok : InstanceAnswer::Busy;
    return answerFor(m_tray.chooseEntry(request->entryNumber));
}

} // namespace kx::app
