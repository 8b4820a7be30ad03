#include "popup/qt/MonitorPicture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kx::popup {

namespace {

// The picture is drawn in these units and scaled to the widget.
constexpr qreal kDesignWidth = 2820;
constexpr qreal kDesignHeight = 2610;

const QRectF kBezel(0, 0, 2820, 2235);
const QRectF kDesktop(120, 120, 2595, 1995);
constexpr qreal kTaskbarHeight = 270;

void drawPointer(QPainter& p, QPointF tip, qreal angleDegrees)
{
    // A classic arrow pointer, its tip at the origin, pointing up and to the left.
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 330);
    arrow.lineTo(80, 255);
    arrow.lineTo(140, 390);
    arrow.lineTo(190, 365);
    arrow.lineTo(130, 235);
    arrow.lineTo(235, 235);
    arrow.closeSubpath();
    p.save();
    p.translate(tip);
    p.rotate(angleDegrees);
    p.setPen(QPen(Qt::black, 18));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.restore();
}

} // namespace

MonitorPicture::MonitorPicture(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
}

QRectF MonitorPicture::desktopArea() { return kDesktop; }

void MonitorPicture::setChosenEdge(int edge)
{
    if (edge == m_edge)
        return;
    m_edge = edge;
    update();
}

void MonitorPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(width() / kDesignWidth, height() / kDesignHeight);

    // Stand and foot below the bezel.
    QPainterPath stand;
    stand.moveTo(1210, kBezel.bottom());
    stand.lineTo(1610, kBezel.bottom());
    stand.lineTo(1700, 2470);
    stand.lineTo(1120, 2470);
    stand.closeSubpath();
    p.setPen(QPen(QColor(70, 70, 70), 15));
    p.setBrush(QColor(150, 150, 150));
    p.drawPath(stand);
    p.drawRoundedRect(QRectF(760, 2440, 1300, 160), 60, 60);

    p.setBrush(QColor(190, 190, 190));
    p.drawRoundedRect(kBezel.adjusted(8, 8, -8, -8), 90, 90);

    // The desktop and its taskbar.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 128));
    p.drawRect(kDesktop);
    const QRectF taskbar(kDesktop.left(),
        kDesktop.bottom() - kTaskbarHeight,
        kDesktop.width(),
        kTaskbarHeight);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(taskbar);
    p.setPen(QPen(Qt::white, 15));
    p.drawLine(taskbar.topLeft(), taskbar.topRight());

    // Start button at the left, the notification area with two small icons at the right.
    const qreal inset = 45;
    const QRectF start(taskbar.left() + inset, taskbar.top() + inset, 420, taskbar.height() - 2 * inset);
    p.setPen(QPen(QColor(90, 90, 90), 12));
    p.setBrush(QColor(210, 210, 210));
    p.drawRect(start);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(start.left() + 45, start.top() + 45, 60, 60));
    p.setBrush(QColor(40, 160, 40));
    p.drawRect(QRectF(start.left() + 115, start.top() + 45, 60, 60));
    p.setBrush(QColor(40, 80, 200));
    p.drawRect(QRectF(start.left() + 45, start.top() + 115, 60, 60));
    p.setBrush(QColor(230, 200, 40));
    p.drawRect(QRectF(start.left() + 115, start.top() + 115, 60, 60));

    const QRectF tray(taskbar.right() - 420 - inset, start.top(), 420, start.height());
    p.setPen(QPen(QColor(130, 130, 130), 12));
    p.setBrush(Qt::NoBrush);
    p.drawRect(tray);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 80, 200));
    p.drawRect(QRectF(tray.left() + 50, tray.center().y() - 45, 90, 90));
    p.setBrush(QColor(220, 180, 40));
    p.drawEllipse(QRectF(tray.left() + 180, tray.center().y() - 45, 90, 90));

    // The pointer touching the chosen edge of the desktop.
    const QPointF centre = kDesktop.center() - QPointF(0, kTaskbarHeight / 2);
    switch (m_edge) {
    case 0:
        drawPointer(p, QPointF(centre.x(), kDesktop.top() + 200), 0);
        break;
    case 1:
        drawPointer(p, QPointF(centre.x(), kDesktop.bottom() - 200), 180);
        break;
    case 2:
        drawPointer(p, QPointF(kDesktop.left() + 200, centre.y()), -90);
        break;
    case 3:
        drawPointer(p, QPointF(kDesktop.right() - 200, centre.y()), 90);
        break;
    default:
        break;
    }
}

RingMark::RingMark(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RedCircle"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RingMark::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal pen = std::max<qreal>(2.0, width() / 16.0);
    p.setPen(QPen(Qt::red, pen));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2));
}

} // namespace kx::popup
