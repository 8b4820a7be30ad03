#include "ui/CaptionButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace kx::ui {

namespace {

constexpr int pictureSize = 20;
// Space between the bevel and the picture and caption; the picture sits on top.
constexpr QMargins innerMargins(3, 5, 3, 3);
constexpr int pictureGap = 2;

void drawPage(QPainter& p)
{
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(12, 2);
    page.lineTo(16, 6);
    page.lineTo(16, 18);
    page.lineTo(4, 18);
    page.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(12, 2), QPointF(12, 6));
    p.drawLine(QPointF(12, 6), QPointF(16, 6));
}

void drawBadge(QPainter& p, const QColor& colour, const QString& letter)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 17, 17));
    QFont font(QStringLiteral("Liberation Serif"));
    font.setBold(true);
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, letter);
}

QPixmap draw(int index)
{
    QPixmap pixmap(pictureSize, pictureSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 8: // new
        drawPage(p);
        p.setPen(QPen(QColor(0, 140, 0), 2.5));
        p.drawLine(QPointF(14, 9), QPointF(14, 19));
        p.drawLine(QPointF(9, 14), QPointF(19, 14));
        break;
    case 2: // rename
        drawPage(p);
        p.setPen(QPen(QColor(40, 40, 160), 1.2));
        p.drawLine(QPointF(6, 9), QPointF(13, 9));
        p.drawLine(QPointF(6, 12), QPointF(11, 12));
        p.setPen(QPen(QColor(200, 140, 0), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(9, 18), QPointF(18, 9));
        p.setPen(QPen(QColor(60, 60, 60), 1.5));
        p.drawLine(QPointF(7.5, 19.5), QPointF(9, 18));
        break;
    case 1: // delete
        p.setPen(QPen(QColor(200, 0, 0), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(16, 16));
        p.drawLine(QPointF(16, 4), QPointF(4, 16));
        break;
    case 3: // OK
        p.setPen(QPen(QColor(0, 150, 0), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({ QPointF(3, 11), QPointF(8, 16), QPointF(17, 4) }));
        break;
    case 10: // help
        drawBadge(p, QColor(30, 90, 200), QStringLiteral("?"));
        break;
    case 5: // info
        drawBadge(p, QColor(0, 120, 160), QStringLiteral("i"));
        break;
    case 0: // debugger: a magnifying glass
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.setBrush(QColor(200, 225, 255));
        p.drawEllipse(QRectF(3, 3, 10, 10));
        p.setPen(QPen(QColor(60, 60, 60), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12.5, 12.5), QPointF(17.5, 17.5));
        break;
    case 4: // options: three sliders
        for (int i = 0; i < 3; ++i) {
            const qreal y = 4.5 + i * 5.5;
            p.setPen(QPen(QColor(90, 90, 90), 1.5));
            p.drawLine(QPointF(2, y), QPointF(18, y));
            p.setPen(QPen(QColor(50, 50, 50), 1));
            p.setBrush(QColor(240, 180, 40));
            const qreal x = i == 1 ? 12 : (i == 0 ? 6 : 9);
            p.drawRect(QRectF(x - 2, y - 2.5, 4, 5));
        }
        break;
    default:
        break;
    }
    return pixmap;
}

} // namespace

QIcon buttonPicture(int index) { return QIcon(draw(index)); }

CaptionButton::CaptionButton(const QString& caption, const QIcon& picture, QWidget* parent)
    : QPushButton(caption, parent)
{
    setIcon(picture);
    setIconSize(QSize(pictureSize, pictureSize));
}

QSize CaptionButton::minimumSizeHint() const
{
    // As wide as the widest word, as high as the lines the caption wraps into.
    const QFontMetrics metrics(font());
    const QString caption = QString(text()).remove(QRegularExpression(QStringLiteral("&(?!&)")));
    int widest = 0;
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, widest, 10000),
        Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
        caption);
    const int bevel = 2 * style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) / 3;
    const int width = std::max({ wrapped.width(), iconSize().width(), widest }) + innerMargins.left()
        + innerMargins.right() + 2 * bevel;
    const int height = innerMargins.top() + iconSize().height() + pictureGap + wrapped.height()
        + innerMargins.bottom() + bevel;
    return QSize(width, height);
}

QSize CaptionButton::sizeHint() const { return minimumSizeHint(); }

QRect CaptionButton::captionRect() const
{
    return rect().marginsRemoved(innerMargins).adjusted(0, iconSize().height() + pictureGap, 0, 0);
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect inner = rect().marginsRemoved(innerMargins);
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatio(), mode);
    p.drawPixmap(inner.left() + (inner.width() - iconSize().width()) / 2, inner.top(), pixmap);

    p.drawItemText(captionRect(),
        Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic,
        palette(),
        isEnabled(),
        text(),
        QPalette::ButtonText);
}

} // namespace kx::ui
