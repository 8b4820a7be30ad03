#include "popup/qt/DesignLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kx::popup {

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")))
        .replace(QStringLiteral("&&"), QStringLiteral("&"));
}

double dpiOf(const QWidget* widget, bool horizontal)
{
    const QScreen* screen = widget->screen();
    if (!screen)
        return 96.0;
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

} // namespace

QSize captionNeed(const QWidget* widget)
{
    const QFontMetrics metrics(widget->font());
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)
        || qobject_cast<const QLabel*>(widget))
        return widget->sizeHint();
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        // The caption with room for the button's frame; the style's minimum button size
        // is no reason to stretch the design.
        const QString text = withoutMnemonic(button->text());
        return QSize(metrics.horizontalAdvance(text) + 12, metrics.height() + 4);
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        // The title runs along the top border, between small gaps at both ends.
        const QString title = withoutMnemonic(frame->title());
        return QSize(metrics.horizontalAdvance(title) + 2 * metrics.averageCharWidth() + 8,
            metrics.height() + 2);
    }
    return QSize();
}

DesignLayout::DesignLayout(QWidget* window, QSize designClient)
    : m_window(window)
    , m_designClient(designClient)
{
}

void DesignLayout::place(QWidget* widget, QRect design) { m_items.push_back({ widget, design, QSize() }); }

void DesignLayout::placeCaptioned(QWidget* widget, QRect design, QSize room)
{
    m_items.push_back({ widget, design, room });
}

int DesignLayout::toPixelsX(double twips) const
{
    return static_cast<int>(std::lround(twips * m_stretch.width() * dpiOf(m_window, true) / 1440.0));
}

int DesignLayout::toPixelsY(double twips) const
{
    return static_cast<int>(std::lround(twips * m_stretch.height() * dpiOf(m_window, false) / 1440.0));
}

void DesignLayout::apply()
{
    // The stretch that gives every caption its room.
    m_stretch = QSizeF(1.0, 1.0);
    QSizeF needed(1.0, 1.0);
    for (const Item& item : m_items) {
        if (item.room.isEmpty())
            continue;
        const QSize need = captionNeed(item.widget);
        needed.setWidth(std::max(needed.width(), need.width() / double(toPixelsX(item.room.width()))));
        needed.setHeight(std::max(needed.height(), need.height() / double(toPixelsY(item.room.height()))));
    }
    m_stretch = needed;

    for (const Item& item : m_items) {
        // Edges converted, so neighbouring controls stay flush.
        const QRect& d = item.design;
        const int left = toPixelsX(d.x());
        const int top = toPixelsY(d.y());
        int width = toPixelsX(d.x() + d.width()) - left;
        int height = toPixelsY(d.y() + d.height()) - top;
        if (!item.room.isEmpty()) {
            const QSize need = captionNeed(item.widget);
            const int roomWidth = toPixelsX(d.x() + item.room.width()) - left;
            const int roomHeight = toPixelsY(d.y() + item.room.height()) - top;
            // Grown only when the caption needs it, and then at most to the room.
            if (need.width() > width)
                width = std::min(need.width(), roomWidth);
            if (need.height() > height)
                height = std::min(need.height(), roomHeight);
        }
        item.widget->setGeometry(left, top, width, height);
    }
    m_window->setFixedSize(toPixelsX(m_designClient.width()), toPixelsY(m_designClient.height()));
}

} // namespace kx::popup
