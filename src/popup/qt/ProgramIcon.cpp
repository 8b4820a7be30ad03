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
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(8, size * 3 / 4));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(0, 0, size * 0.7, size * 0.9), Qt::AlignCenter, QStringLiteral("K"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace kx::popup
