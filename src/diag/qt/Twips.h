#pragma once

#include <QRect>
#include <QWidget>

namespace kx::diag {

// Layout values are in twips (1/1440 inch), converted with the widget's logical DPI.
inline QRect twipsRect(const QWidget* widget, int left, int top, int width, int height)
{
    const double x = widget->logicalDpiX() / 1440.0;
    const double y = widget->logicalDpiY() / 1440.0;
    return { qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y) };
}

} // namespace kx::diag
