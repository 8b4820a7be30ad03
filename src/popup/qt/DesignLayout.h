#pragma once

#include <QRect>
#include <QSize>
#include <QSizeF>

#include <vector>

class QWidget;

namespace kx::popup {

// Places a window's controls at fixed design positions given in twips (1/1440 inch),
// converted with the screen's logical DPI. When a caption does not fit the room its
// control has in the design (with a larger desktop font, say), the whole design is
// stretched in that direction just enough, so the arrangement keeps its proportions and
// no caption is cut off; at the design font nothing moves.
class DesignLayout
{
public:
    // `window` gets a fixed client size of `designClient` (stretched like the rest).
    DesignLayout(QWidget* window, QSize designClient);

    // A control without caption: exactly its design rectangle, relative to its parent.
    void place(QWidget* widget, QRect design);
    // A captioned control: its design rectangle, grown to what its caption needs (the
    // size hint, for push buttons the caption's text) within `room`, the space from its
    // design top-left to the next control or the container's edge.
    void placeCaptioned(QWidget* widget, QRect design, QSize room);

    // Measures the captions, then sets every geometry and the window's size. Call again
    // when the font or style changes.
    void apply();

    // How much the design was stretched in each direction (1 = not at all).
    QSizeF stretch() const { return m_stretch; }

private:
    struct Item
    {
        QWidget* widget;
        QRect design;
        QSize room; // empty: no caption
    };

    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;

    QWidget* m_window;
    QSize m_designClient;
    std::vector<Item> m_items;
    QSizeF m_stretch { 1.0, 1.0 };
};

// What a control's caption needs to show whole: the size hint of check boxes, option
// buttons and labels, the caption's text with a small margin for push buttons, the title
// for frames. An empty size for controls without caption.
QSize captionNeed(const QWidget* widget);

} // namespace kx::popup
