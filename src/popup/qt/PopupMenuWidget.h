#pragma once

#include "popup/PopupMenu.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <vector>

class QEventLoop;
class QScrollBar;
class QStyleOptionMenuItem;

namespace kx::popup {

// A popup menu drawn with the style's menu items, for menus far longer than QMenu copes
// with: QMenu creates one QAction per item and lays all of them out before it shows, which
// takes most of a second for 32,767 entries. This one paints only the visible rows and
// scrolls when the items do not fit on the screen. Behaves like a menu: opens at a point,
// closes on Escape or a click outside, "&" access keys, arrow keys, wheel; screen readers
// see it as a menu (PopupMenuAccessible).
class PopupMenuWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PopupMenuWidget(QWidget* parent = nullptr);
    ~PopupMenuWidget() override;

    // The items to show (elements 1..n of the model) and the one drawn in bold (0: none).
    void setItems(std::vector<MenuItem> items, int defaultIndex);

    // Places the menu with its top left corner at `pos` (moved so it is fully visible on
    // the screen that holds `pos`) and shows it.
    void popup(const QPoint& pos);

    // popup(), then waits until the menu has closed. Returns the chosen element (1-based),
    // 0 when the menu was closed without a choice.
    int exec(const QPoint& pos);

    // The number of elements, and element `index` (1-based) as the user sees it.
    int count() const { return static_cast<int>(m_items.size()); }
    QString visibleCaption(int index) const;
    bool isSeparator(int index) const { return !isSelectable(index - 1); }
    // The element drawn in bold, 0 for none.
    int defaultIndex() const { return m_defaultRow + 1; }

    // The element under the keyboard or mouse highlight, 0 for none.
    int currentIndex() const { return m_current + 1; }
    // The element at a position in widget coordinates, 0 for none.
    int indexAt(const QPoint& pos) const;
    // The rectangle of element `index` in widget coordinates (empty when scrolled out).
    QRect itemRect(int index) const;

signals:
    // An element was chosen (1-based); the menu closes right after.
    void triggered(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void layoutItems();
    void initStyleOption(QStyleOptionMenuItem* option, int row) const;
    int rowAt(int y) const;
    bool isSelectable(int row) const;
    void setCurrent(int row);
    void ensureVisible(int row);
    void moveCurrent(int step);
    // Highlights the first (step 1) or last (step -1) item that can be chosen.
    void moveToEnd(int step);
    void activateMnemonic(const QString& text, int key);
    // Chooses the row once `key` is released.
    void chooseOnRelease(int row, int key);
    void choose(int row);
    QRect contentRect() const;
    int scrollOffset() const;

    std::vector<MenuItem> m_items;
    std::vector<QString> m_captions;
    std::vector<int> m_rowTop; // y of each row in the scrolled content, one extra at the end
    int m_defaultRow = -1;
    int m_current = -1;
    int m_chosen = -1;
    int m_contentWidth = 0;
    int m_frame = 0;
    int m_itemHeight = 0;
    int m_separatorHeight = 0;
    bool m_pressedInside = false;
    bool m_closeExpected = false; // closed by a choice, Escape or a click outside
    int m_pendingRow = -1; // chosen by a key that is still down
    int m_pendingKey = 0;
    QPoint m_openedAt;
    QFont m_boldFont;
    QScrollBar* m_scrollBar = nullptr;
    QPointer<QEventLoop> m_loop;
};

} // namespace kx::popup
