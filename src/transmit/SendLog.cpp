#include "transmit/SendLog.h"

namespace kx::transmit {

std::string outcomeText(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::Complete:
        return "vollständig";
    case SendOutcome::FocusLost:
        return "abgebrochen: Fokus verloren";
    case SendOutcome::NoTarget:
        return "kein Zielfenster";
    case SendOutcome::Busy:
        return "abgelehnt: Übertragung läuft";
    case SendOutcome::SelectionCancelled:
        return "Auswahl abgebrochen";
    case SendOutcome::InputCancelled:
        return "Eingabe abgebrochen";
    case SendOutcome::TypingFailed:
        return "abgebrochen: Tastaturfehler";
    }
    return {};
}

std::string activationText(const platform::ActivationResult& activation)
{
    if (activation.request.empty())
        return activation.confirmed ? "bereits aktiv" : "nicht bestätigt";
    if (!activation.confirmed)
        return activation.request + ", nicht bestätigt";
    if (activation.confirmation.empty())
        return activation.request;
    return activation.request + ", bestätigt durch " + activation.confirmation;
}

void SendLog::add(SendRecord record)
{
    if (m_records.size() < capacity) {
        m_records.push_back(std::move(record));
    } else {
        m_records[m_next] = std::move(record);
        m_next = (m_next + 1) % capacity;
    }
    if (m_onChanged)
        m_onChanged();
}

const SendRecord& SendLog::newest(std::size_t index) const
{
    // Before the ring is full m_next is 0 and the newest record is the last one.
    const std::size_t count = m_records.size();
    if (index >= count)
        return m_records.at(count); // throws std::out_of_range
    return m_records[(m_next + count - 1 - index) % count];
}

std::string describeCharacters(const SendRecord& record)
{
    const bool partial
        = record.outcome == SendOutcome::FocusLost || record.outcome == SendOutcome::TypingFailed;
    std::string text = std::to_string(record.charactersTyped);
    if (partial)
        text += " von " + std::to_string(record.charactersTotal);
    return text;
}

} // namespace kx::transmit
