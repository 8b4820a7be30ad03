#include "popup/qt/EdgeButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace kx::popup {

EdgeButton::EdgeButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
}

void EdgeButton::setColour(const QColor& colour)
{
    m_colour = colour;
    update();
}

QSize EdgeButton::sizeHint() const { return QSize(9, 9); }

void EdgeButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, m_colour);
    // A one-pixel bevel: light above and left when raised, dark there when pressed in.
    const bool in = isChecked() || isDown();
    const QColor upperLeft = in ? QColor(64, 64, 64) : QColor(255, 255, 255);
    const QColor lowerRight = in ? QColor(255, 255, 255) : QColor(64, 64, 64);
    p.setPen(upperLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(lowerRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (in) {
        // The chosen edge also gets a dark outline inside the bevel, visible on any colour.
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

} // namespace kx::popup
