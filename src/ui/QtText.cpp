#include "ui/QtText.h"

#include "text/Text.h"

namespace kx::ui {

std::string toStdString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

int compareForSortedList(const QString& a, const QString& b)
{
    return text::compareForSortedList(toStdString(a), toStdString(b));
}

} // namespace kx::ui
