#pragma once

#include <QString>

#include <string>
#include <string_view>

// The one place where the program's UTF-8 strings cross into Qt and back.
namespace kx::ui {

inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toStdString(const QString& text);

// text::compareForSortedList for Qt strings: the order of the entry list and the title box.
int compareForSortedList(const QString& a, const QString& b);

} // namespace kx::ui
