#pragma once

#include "popup/PopupMenu.h"
#include "text/NameFilter.h"

#include <QFont>
#include <QPointer>
#include <QTimer>
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
// see it as a menu (PopupMenuAccessible). With type to filter on, letters narrow the
// entries instead of choosing by access key (the fixed commands always stay).
class PopupMenuWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PopupMenuWidget(QWidget* parent = nullptr);
    ~PopupMenuWidget() override;

    // The items to show (elements 1..n of the model) and the one drawn in bold (0: none).
    void setItems(std::vector<MenuItem> items, int defaultIndex);

    // Whether typed letters filter the entries (see filterText()) instead of acting as
    // access keys; Alt+letter still chooses by access key. Takes effect at popup().
    void setTypeToFilter(bool on) { m_typeToFilter = on; }
    // The text typed so far; the entry items shown are those whose displayed name contains
    // it like the sorted lists compare names. Shown as "Filter: ..." above the items.
    QString filterText() const { return m_filterText; }
    void setFilterText(const QString& text);

    // Places the menu with its top left corner at `pos` (moved so it is fully visible on
    // the screen that holds `pos`) and shows it.
    void popup(const QPoint& pos);

    // popup(), then waits until the menu has closed. Returns the chosen element (1-based),
    // 0 when the menu was closed without a choice.
    int exec(const QPoint& pos);

    // The rows shown (all elements unless a filter hides entries), and row `index`
    // (1-based) as the user sees it; a filter that matches nothing shows one greyed row
    // "(keine Treffer)" in place of the entries.
    int count() const { return static_cast<int>(m_shown.size()); }
    QString visibleCaption(int index) const;
    bool isSeparator(int index) const;
    // The tip shown when the pointer rests on row `index`; empty for none.
    QString itemTip(int index) const;
    // False for separators, greyed items and the "(keine Treffer)" row.
    bool isChoosable(int index) const { return isSelectable(index - 1); }
    // The row drawn in bold, 0 for none (or when it is filtered out).
    int defaultIndex() const;

    // The row under the keyboard or mouse highlight, 0 for none.
    int currentIndex() const { return m_current + 1; }
    // The row at a position in widget coordinates, 0 for none.
    int indexAt(const QPoint& pos) const;
    // The rectangle of row `index` in widget coordinates (empty when scrolled out).
    QRect itemRect(int index) const;

signals:
    // An element of setItems() was chosen (1-based, counted over all elements whether a
    // filter hides some or not); the menu closes right after.
    void triggered(int index);

protected:
    bool event(QEvent* event) override;
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
    // Takes the keyboard and the pointer for the open menu; asks again shortly while another
    // client holds either.
    void takeInput();
    void layoutItems();
    // Row positions of the shown rows.
    void layoutRows();
    // Size and place for the shown rows; the first time at the pointer, later keeping the
    // edge that is next to the pointer.
    void placeMenu(bool atPointer);
    int filterLineHeight() const;
    // The element (0-based) shown in `row`, -1 for the "(keine Treffer)" row.
    int elementAt(int row) const { return m_shown[static_cast<std::size_t>(row)]; }
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
    std::vector<int> m_shown; // element of each row shown, -1 for "(keine Treffer)"
    std::vector<int> m_rowTop; // y of each row in the scrolled content, one extra at the end
    bool m_typeToFilter = false;
    QString m_filterText;
    text::NameFilter m_filter; // over the displayed names of the entry elements
    std::vector<int> m_entryElements; // the elements that are entries, in order
    bool m_placedAbove = false; // the menu opened above the pointer: its bottom stays put
    int m_defaultElement = -1;
    int m_defaultRow = -1; // the row showing it, -1 when filtered out
    int m_current = -1;
    int m_chosen = -1; // element
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
    QTimer m_inputRetry;
    bool m_tookInput = false;
};

} // namespace kx::popup
