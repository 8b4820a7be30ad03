#include "popup/qt/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace kx::popup {

QIcon programIcon()
{
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath square;
        const qreal radius = size / 6.0;
        square.addRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), radius, radius);
        painter.fillPath(square, QColor(0x1f, 0x5f, 0xa8));
        painter.setPen(QPen(QColor(0xdd, 0xe8, 0xf5), std::max(1.0, size / 16.0)));
        painter.drawLine(QPointF(size * 0.55, size * 0.72), QPointF(size * 0.85, size * 0.72));
        painter.drawLine(QPointF(size * 0.55, size * 0.84), QPointF(size * 0.78, size * 0.84));
        // The letter as a path (the one of data/icons/kalmotex.svg, on a 64-unit square):
        // drawn as text, it would load the font machinery, about 3 MiB of a run that
        // otherwise shows no text until the menu opens.
        static constexpr QPointF letterK[] = { { 10, 8 },
            { 18.5, 8 },
            { 18.5, 23.5 },
            { 31, 8 },
            { 40.5, 8 },
            { 27, 24.5 },
            { 41.5, 45 },
            { 31.5, 45 },
            { 21.5, 30 },
            { 18.5, 33.5 },
            { 18.5, 45 },
            { 10, 45 } };
        const qreal unit = size / 64.0;
        QPainterPath letter(letterK[0] * unit);
        for (const QPointF& corner : letterK)
            letter.lineTo(corner * unit);
        letter.closeSubpath();
        painter.fillPath(letter, Qt::white);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace kx::popup
