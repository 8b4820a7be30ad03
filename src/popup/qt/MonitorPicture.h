#pragma once

#include <QWidget>

namespace kx::popup {

// The picture of a monitor in the options dialog: a desktop with a taskbar along its
// bottom, the notification area at the taskbar's right end. When the screen-border strip
// is on, a pointer on the pictured desktop points at the chosen edge. Drawn, not loaded,
// so it scales with the dialog.
class MonitorPicture : public QWidget
{
    Q_OBJECT

public:
    explicit MonitorPicture(QWidget* parent = nullptr);

    // 0 top, 1 bottom, 2 left, 3 right; anything else shows no pointer.
    void setChosenEdge(int edge);
    int chosenEdge() const { return m_edge; }

    // Where the pictured desktop lies, in the picture's design units (twips of a picture
    // 2820 wide and 2610 high); the edge buttons of the dialog lie along its border.
    static QRectF desktopArea();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_edge = -1;
};

// The red ring around the notification area of the pictured taskbar: the menu opens from
// the icon there. It lets the mouse through to what lies below.
class RingMark : public QWidget
{
    Q_OBJECT

public:
    explicit RingMark(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kx::popup
