#include "transmit/qt/FilterKeys.h"

#include <QKeyEvent>

namespace kx::transmit {

std::optional<QString> filterTextAfterKey(const QString& text, const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Escape:
        if (text.isEmpty())
            return std::nullopt;
        return QString();
    case Qt::Key_Backspace: {
        QString shorter = text;
        shorter.chop(shorter.size() >= 2 && shorter.back().isLowSurrogate() ? 2 : 1);
        return shorter;
    }
    case Qt::Key_Space:
        if (text.isEmpty())
            return std::nullopt;
        break;
    default:
        break;
    }
    const bool printable = !event.text().isEmpty() && event.text().at(0).isPrint()
        && !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier));
    if (!printable)
        return std::nullopt;
    return text + event.text();
}

} // namespace kx::transmit
