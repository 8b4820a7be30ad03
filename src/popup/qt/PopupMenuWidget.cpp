#include "popup/qt/PopupMenuWidget.h"

#include "popup/qt/PopupMenuAccessible.h"
#include "transmit/qt/FilterKeys.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <numeric>

namespace kx::popup {

namespace {

QString visibleText(const QString& caption)
{
    return QString::fromStdString(displayedCaption(caption.toStdString()));
}

// A text drawn as a menu item's caption without an access key.
QString withoutAccessKeys(QString text) { return text.replace(u'&', QStringLiteral("&&")); }

// The access key of a caption (the character after a single "&"), lower case; null
// when it has none.
QChar mnemonic(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

} // namespace

PopupMenuWidget::PopupMenuWidget(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_X11NetWmWindowTypePopupMenu);
    // A menu that took the X focus gives it back to the root window when it closes, and
    // openbox then hands it to another window of ours, not to the one the send activated:
    // the keys typed next went into the program's own main window.
    setMouseTracking(true);
    // Nor does it take Qt's focus: Qt hands that back when the last popup closes, and if
    // the program has not yet heard that its main window lost the X focus (it learns that
    // some 100 ms late, later on a busy machine), handing it back asks the window manager
    // to activate the main window again, in front of the window the send is about to type
    // into. Keys reach the open menu all the same: Qt gives them to the active popup.
    setFocusPolicy(Qt::NoFocus);
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { update(); });
    m_inputRetry.setSingleShot(true);
    m_inputRetry.setInterval(20);
    connect(&m_inputRetry, &QTimer::timeout, this, &PopupMenuWidget::takeInput);
    installPopupMenuAccessibility();
}

PopupMenuWidget::~PopupMenuWidget() = default;

void PopupMenuWidget::setItems(std::vector<MenuItem> items, int defaultIndex)
{
    m_items = std::move(items);
    m_captions.clear();
    m_captions.reserve(m_items.size());
    for (const auto& item : m_items)
        m_captions.push_back(QString::fromStdString(item.caption));
    m_defaultElement = defaultIndex - 1;
    m_current = -1;
    m_filterText.clear();
    m_entryElements.clear();
    m_filter.setNames({});
    m_shown.resize(m_items.size());
    std::iota(m_shown.begin(), m_shown.end(), 0);
    m_boldFont = font();
    m_boldFont.setBold(true);
    layoutItems();
    layoutRows();
}

QString PopupMenuWidget::visibleCaption(int index) const
{
    if (index < 1 || index > count())
        return {};
    if (elementAt(index - 1) < 0)
        return QStringLiteral("(keine Treffer)");
    if (isSeparator(index))
        return {};
    return visibleText(m_captions[static_cast<std::size_t>(elementAt(index - 1))]);
}

bool PopupMenuWidget::isSeparator(int index) const
{
    if (index < 1 || index > count() || elementAt(index - 1) < 0)
        return false;
    return isSeparatorCaption(m_items[static_cast<std::size_t>(elementAt(index - 1))].caption);
}

int PopupMenuWidget::defaultIndex() const { return m_defaultRow + 1; }

QString PopupMenuWidget::itemTip(int index) const
{
    if (index < 1 || index > count() || elementAt(index - 1) < 0)
        return {};
    return QString::fromStdString(m_items[static_cast<std::size_t>(elementAt(index - 1))].tip);
}

bool PopupMenuWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = itemTip(indexAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this, itemRect(indexAt(help->pos())));
        return true;
    }
    return QWidget::event(event);
}

void PopupMenuWidget::initStyleOption(QStyleOptionMenuItem* option, int row) const
{
    option->initFrom(this);
    option->state = QStyle::State_Enabled;
    if (isActiveWindow())
        option->state |= QStyle::State_Active;
    if (row >= 0 && row == m_current)
        option->state |= QStyle::State_Selected;
    option->checkType = QStyleOptionMenuItem::NotCheckable;
    option->menuHasCheckableItems = false;
    option->maxIconWidth = 0;
    option->reservedShortcutWidth = 0;
    option->menuRect = rect();
    const bool isDefault = row >= 0 && row == m_defaultRow;
    option->font = isDefault ? m_boldFont : font();
    option->fontMetrics = QFontMetrics(option->font);
    option->text.clear();
    option->menuItemType = isDefault ? QStyleOptionMenuItem::DefaultItem : QStyleOptionMenuItem::Normal;
    if (row < 0)
        return;
    const int element = elementAt(row);
    if (element < 0) {
        option->state &= ~QStyle::State_Enabled;
        option->text = QStringLiteral("(keine Treffer)");
    } else if (isSeparatorCaption(m_items[static_cast<std::size_t>(element)].caption)) {
        // A separator with text is drawn as a titled section by some styles.
        option->menuItemType = QStyleOptionMenuItem::Separator;
    } else {
        option->text = m_captions[static_cast<std::size_t>(element)];
        if (!m_items[static_cast<std::size_t>(element)].enabled)
            option->state &= ~QStyle::State_Enabled;
    }
}

void PopupMenuWidget::layoutItems()
{
    QStyle* s = style();
    m_frame = s->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    const int vMargin = s->pixelMetric(QStyle::PM_MenuVMargin, nullptr, this);
    const int hMargin = s->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this);

    const QFontMetrics normalMetrics(font());
    const QFontMetrics boldMetrics(m_boldFont);
    QStyleOptionMenuItem option;
    initStyleOption(&option, -1);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("X");
    const int textHeight = std::max(normalMetrics.height(), boldMetrics.height());
    m_itemHeight = s->sizeFromContents(QStyle::CT_MenuItem, &option, QSize(0, textHeight), this).height();
    option.menuItemType = QStyleOptionMenuItem::Separator;
    option.text.clear();
    m_separatorHeight = s->sizeFromContents(QStyle::CT_MenuItem, &option, QSize(0, 0), this).height();

    // Shaping every caption takes a quarter of a second for 32,767 entries. The sum of the
    // characters' advances is a close estimate of a caption's width (it ignores kerning and
    // counts "&"), so only the captions that might be the widest are measured exactly.
    QHash<char16_t, int> advances;
    auto estimate = [&](const QString& text) {
        int width = 0;
        for (const QChar c : text) {
            auto it = advances.constFind(c.unicode());
            if (it == advances.constEnd())
                it = advances.insert(c.unicode(), normalMetrics.horizontalAdvance(c));
            width += *it;
        }
        return width;
    };
    std::vector<std::pair<int, std::size_t>> estimates;
    estimates.reserve(m_items.size());
    for (std::size_t element = 0; element < m_items.size(); ++element) {
        if (!isSeparatorCaption(m_items[element].caption))
            estimates.emplace_back(estimate(m_captions[element]), element);
    }

    constexpr std::size_t measured = 64;
    const std::size_t exact = std::min(measured, estimates.size());
    std::partial_sort(estimates.begin(),
        estimates.begin() + static_cast<std::ptrdiff_t>(exact),
        estimates.end(),
        [](const auto& a, const auto& b) { return a.first > b.first; });
    int widest = 0;
    for (std::size_t i = 0; i < exact; ++i) {
        widest
            = std::max(widest, normalMetrics.horizontalAdvance(visibleText(m_captions[estimates[i].second])));
    }
    if (m_defaultElement >= 0 && static_cast<std::size_t>(m_defaultElement) < m_captions.size())
        widest = std::max(widest,
            boldMetrics.horizontalAdvance(
                visibleText(m_captions[static_cast<std::size_t>(m_defaultElement)])));
    // The lines a filter adds must fit as well.
    widest = std::max(widest, normalMetrics.horizontalAdvance(QStringLiteral("(keine Treffer)")));

    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("X");
    m_contentWidth
        = s->sizeFromContents(QStyle::CT_MenuItem, &option, QSize(widest, textHeight), this).width()
        + 2 * hMargin;
    m_frame += vMargin;
}

void PopupMenuWidget::layoutRows()
{
    m_rowTop.assign(m_shown.size() + 1, 0);
    m_defaultRow = -1;
    int y = 0;
    for (std::size_t row = 0; row < m_shown.size(); ++row) {
        m_rowTop[row] = y;
        const int element = m_shown[row];
        if (element == m_defaultElement && element >= 0)
            m_defaultRow = static_cast<int>(row);
        const bool separator
            = element >= 0 && isSeparatorCaption(m_items[static_cast<std::size_t>(element)].caption);
        y += separator ? m_separatorHeight : m_itemHeight;
    }
    m_rowTop[m_shown.size()] = y;
}

int PopupMenuWidget::filterLineHeight() const { return m_filterText.isEmpty() ? 0 : m_itemHeight; }

QRect PopupMenuWidget::contentRect() const
{
    QRect r = rect().adjusted(m_frame, m_frame + filterLineHeight(), -m_frame, -m_frame);
    if (m_scrollBar->isVisible())
        r.setRight(m_scrollBar->geometry().left() - 1);
    return r;
}

int PopupMenuWidget::scrollOffset() const { return m_scrollBar->isVisible() ? m_scrollBar->value() : 0; }

void PopupMenuWidget::placeMenu(bool atPointer)
{
    QScreen* screen = QGuiApplication::screenAt(m_openedAt);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen->availableGeometry();

    const int contentHeight = m_rowTop.empty() ? 0 : m_rowTop.back();
    const int fixedHeight = 2 * m_frame + filterLineHeight();
    int height = contentHeight + fixedHeight;
    int width = m_contentWidth + 2 * m_frame;
    const bool scrolling = height > avail.height();
    if (scrolling) {
        height = avail.height();
        const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollBar);
        width += barWidth;
        const int visible = height - fixedHeight;
        m_scrollBar->setGeometry(width - m_frame - barWidth, fixedHeight - m_frame, barWidth, visible);
        m_scrollBar->setRange(0, contentHeight - visible);
        m_scrollBar->setPageStep(visible);
        m_scrollBar->setSingleStep(m_itemHeight);
        m_scrollBar->setValue(0);
    }
    m_scrollBar->setVisible(scrolling);
    width = std::min(width, avail.width());

    int x = 0;
    int y = 0;
    if (atPointer) {
        // Left-aligned at the pointer; flipped to the other side of it where the menu does
        // not fit, and in any case kept on the screen.
        const QPoint pos = m_openedAt;
        x = pos.x();
        if (x + width > avail.right() + 1)
            x = pos.x() - width;
        y = pos.y();
        m_placedAbove = y + height > avail.bottom() + 1;
        if (m_placedAbove)
            y = pos.y() - height;
    } else {
        // A filter changes the height only; the edge next to the pointer stays where it was.
        x = geometry().x();
        y = m_placedAbove ? geometry().bottom() + 1 - height : geometry().y();
    }
    x = std::clamp(x, avail.left(), avail.right() + 1 - width);
    y = std::clamp(y, avail.top(), avail.bottom() + 1 - height);
    setGeometry(x, y, width, height);
}

void PopupMenuWidget::popup(const QPoint& pos)
{
    m_current = -1;
    m_chosen = -1;
    m_pressedInside = false;
    m_closeExpected = false;
    m_pendingRow = -1;
    m_openedAt = pos;
    if (!m_filterText.isEmpty() || m_shown.size() != m_items.size()) {
        m_filterText.clear();
        m_shown.resize(m_items.size());
        std::iota(m_shown.begin(), m_shown.end(), 0);
        layoutRows();
    }
    if (m_typeToFilter) {
        // Folded once per opening, so that each key press only scans.
        std::vector<std::string> names;
        m_entryElements.clear();
        for (std::size_t element = 0; element < m_items.size(); ++element) {
            if (!isEntryItem(m_items[element]))
                continue;
            m_entryElements.push_back(static_cast<int>(element));
            names.push_back(displayedCaption(m_items[element].caption));
        }
        m_filter.setNames(names);
    }
    placeMenu(true);
    show();
    raise();
    // Keys reach the menu through its keyboard grab; it never takes the focus (see the
    // constructor), so the window the user was in keeps it.
    takeInput();
    QAccessibleEvent opened(this, QAccessible::PopupMenuStart);
    QAccessible::updateAccessibility(&opened);
}

void PopupMenuWidget::takeInput()
{
    QWindow* window = windowHandle();
    if (!isVisible() || !window)
        return;
    // Qt grabs the keyboard and the pointer once, when the menu opens. While another client
    // holds the keyboard then (a window manager's key chain, another program's menu) that
    // grab fails, and every key typed into the open menu went to the window in front of it
    // instead, the access key of "&Bearbeiten" say. X11 grabs by the same client succeed
    // again, so asking once more costs nothing when the menu holds them already.
    m_tookInput = true;
    if (!window->setKeyboardGrabEnabled(true) || !window->setMouseGrabEnabled(true))
        m_inputRetry.start();
}

void PopupMenuWidget::setFilterText(const QString& text)
{
    m_filterText = text;
    m_shown.clear();
    m_shown.reserve(m_items.size());
    if (text.isEmpty()) {
        m_shown.resize(m_items.size());
        std::iota(m_shown.begin(), m_shown.end(), 0);
    } else {
        const std::vector<std::size_t> matches = m_filter.matches(text.toStdString());
        auto match = matches.begin();
        std::size_t entry = 0; // position among the entry elements
        bool entriesPlaced = false;
        for (std::size_t element = 0; element < m_items.size(); ++element) {
            const bool isEntry
                = entry < m_entryElements.size() && m_entryElements[entry] == static_cast<int>(element);
            if (!isEntry) {
                if (!entriesPlaced && matches.empty() && entry > 0) {
                    m_shown.push_back(-1);
                    entriesPlaced = true;
                }
                m_shown.push_back(static_cast<int>(element));
                continue;
            }
            if (match != matches.end() && *match == entry) {
                m_shown.push_back(static_cast<int>(element));
                ++match;
            }
            ++entry;
        }
        if (matches.empty() && !entriesPlaced)
            m_shown.insert(m_shown.begin(), -1);
    }
    layoutRows();
    m_current = -1;
    m_pendingRow = -1;
    if (isVisible())
        placeMenu(false);
    // The first entry shown is highlighted, so Enter sends it; it may be a team entry,
    // below the separator and the team's heading.
    for (int row = 0; !text.isEmpty() && row < count(); ++row) {
        if (elementAt(row) >= 0 && isEntryItem(m_items[static_cast<std::size_t>(elementAt(row))])) {
            setCurrent(row);
            break;
        }
    }
    update();
}

int PopupMenuWidget::exec(const QPoint& pos)
{
    popup(pos);
    QEventLoop loop;
    m_loop = &loop;
    if (isVisible())
        loop.exec();
    m_loop = nullptr;
    return m_chosen + 1;
}

int PopupMenuWidget::rowAt(int y) const
{
    const QRect content = contentRect();
    if (y < content.top() || y > content.bottom() || m_shown.empty())
        return -1;
    const int contentY = y - content.top() + scrollOffset();
    const auto it = std::upper_bound(m_rowTop.begin(), m_rowTop.end(), contentY);
    const int row = static_cast<int>(it - m_rowTop.begin()) - 1;
    return row >= 0 && row < count() ? row : -1;
}

int PopupMenuWidget::indexAt(const QPoint& pos) const
{
    if (!contentRect().contains(pos))
        return 0;
    return rowAt(pos.y()) + 1;
}

QRect PopupMenuWidget::itemRect(int index) const
{
    const int row = index - 1;
    if (row < 0 || row >= count())
        return {};
    const QRect content = contentRect();
    const auto r = static_cast<std::size_t>(row);
    const QRect item(content.left(),
        content.top() + m_rowTop[r] - scrollOffset(),
        content.width(),
        m_rowTop[r + 1] - m_rowTop[r]);
    return item.intersected(content);
}

bool PopupMenuWidget::isSelectable(int row) const
{
    return row >= 0 && row < count() && elementAt(row) >= 0
        && m_items[static_cast<std::size_t>(elementAt(row))].enabled
        && !isSeparatorCaption(m_items[static_cast<std::size_t>(elementAt(row))].caption);
}

void PopupMenuWidget::setCurrent(int row)
{
    if (row == m_current)
        return;
    const QRect before = itemRect(m_current + 1);
    m_current = row;
    update(before);
    update(itemRect(m_current + 1));
    if (m_current >= 0 && isVisible()) {
        // Screen readers follow the highlight as they follow a normal menu's.
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
}

void PopupMenuWidget::ensureVisible(int row)
{
    if (!m_scrollBar->isVisible() || row < 0)
        return;
    const auto r = static_cast<std::size_t>(row);
    const int visible = contentRect().height();
    const int offset = m_scrollBar->value();
    if (m_rowTop[r] < offset)
        m_scrollBar->setValue(m_rowTop[r]);
    else if (m_rowTop[r + 1] > offset + visible)
        m_scrollBar->setValue(m_rowTop[r + 1] - visible);
}

void PopupMenuWidget::moveCurrent(int step)
{
    const int count = this->count();
    if (count == 0)
        return;
    int row = m_current;
    if (row < 0)
        row = step > 0 ? -1 : count;
    for (int tried = 0; tried < count; ++tried) {
        row = ((row + step) % count + count) % count;
        if (isSelectable(row)) {
            setCurrent(row);
            ensureVisible(row);
            return;
        }
    }
}

void PopupMenuWidget::moveToEnd(int step)
{
    const int count = this->count();
    for (int row = step > 0 ? 0 : count - 1; row >= 0 && row < count; row += step) {
        if (isSelectable(row)) {
            setCurrent(row);
            ensureVisible(row);
            return;
        }
    }
}

void PopupMenuWidget::activateMnemonic(const QString& text, int key)
{
    const QChar wanted = text.at(0).toLower();
    std::vector<int> matches;
    for (int row = 0; row < count(); ++row) {
        if (isSelectable(row) && mnemonic(m_captions[static_cast<std::size_t>(elementAt(row))]) == wanted)
            matches.push_back(row);
    }
    if (matches.size() == 1) {
        chooseOnRelease(matches.front(), key);
        return;
    }
    if (matches.empty())
        return;
    // Several items share the key: each press moves to the next of them, as menus do.
    const auto next = std::upper_bound(matches.begin(), matches.end(), m_current);
    const int row = next == matches.end() ? matches.front() : *next;
    setCurrent(row);
    ensureVisible(row);
}

void PopupMenuWidget::chooseOnRelease(int row, int key)
{
    // The chosen entry is typed at once: were the key still down, the target would see it
    // held, and a press of the same key in the text would be lost.
    setCurrent(row);
    m_pendingRow = row;
    m_pendingKey = key;
}

void PopupMenuWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat() || m_pendingRow < 0 || event->key() != m_pendingKey) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    const int row = m_pendingRow;
    m_pendingRow = -1;
    choose(row);
}

void PopupMenuWidget::choose(int row)
{
    m_chosen = elementAt(row);
    m_closeExpected = true;
    close();
    emit triggered(m_chosen + 1);
}

void PopupMenuWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    QStyleOption frameOption;
    frameOption.initFrom(this);
    frameOption.state = QStyle::State_None;
    style()->drawPrimitive(QStyle::PE_PanelMenu, &frameOption, &painter, this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = rect();
    frame.lineWidth = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    frame.midLineWidth = 0;
    style()->drawPrimitive(QStyle::PE_FrameMenu, &frame, &painter, this);

    QStyleOptionMenuItem option;
    const QRect content = contentRect();
    if (!m_filterText.isEmpty()) {
        initStyleOption(&option, -1);
        option.text = withoutAccessKeys(QStringLiteral("Filter: ") + m_filterText);
        option.rect = QRect(content.left(), m_frame, content.width(), filterLineHeight());
        painter.setFont(option.font);
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
    }
    painter.setClipRect(content.intersected(event->rect()));
    const int first = rowAt(std::max(content.top(), event->rect().top()));
    if (first < 0)
        return;
    for (int row = first; row < count(); ++row) {
        const QRect r = itemRect(row + 1);
        if (r.isEmpty() || r.top() > event->rect().bottom())
            break;
        initStyleOption(&option, row);
        option.rect = QRect(content.left(),
            content.top() + m_rowTop[static_cast<std::size_t>(row)] - scrollOffset(),
            content.width(),
            m_rowTop[static_cast<std::size_t>(row) + 1] - m_rowTop[static_cast<std::size_t>(row)]);
        painter.setFont(option.font);
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
    }
}

void PopupMenuWidget::keyPressEvent(QKeyEvent* event)
{
    if (m_typeToFilter) {
        // The first Escape takes back the filter, the next one closes the menu.
        if (const auto text = transmit::filterTextAfterKey(m_filterText, *event)) {
            if (*text != m_filterText)
                setFilterText(*text);
            return;
        }
    }
    const int count = this->count();
    const int page = std::max(1, contentRect().height() / std::max(1, m_itemHeight));
    switch (event->key()) {
    case Qt::Key_Escape:
        m_closeExpected = true;
        close();
        return;
    case Qt::Key_Up:
        moveCurrent(-1);
        return;
    case Qt::Key_Down:
        moveCurrent(1);
        return;
    case Qt::Key_Home:
        moveToEnd(1);
        return;
    case Qt::Key_End:
        moveToEnd(-1);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int step = event->key() == Qt::Key_PageUp ? -page : page;
        int row = std::clamp(m_current < 0 ? 0 : m_current + step, 0, std::max(0, count - 1));
        while (row >= 0 && row < count && !isSelectable(row))
            row += step > 0 ? 1 : -1;
        if (isSelectable(row)) {
            setCurrent(row);
            ensureVisible(row);
        }
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (isSelectable(m_current))
            chooseOnRelease(m_current, event->key());
        return;
    default:
        break;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        activateMnemonic(event->text(), event->key());
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopupMenuWidget::mouseMoveEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (contentRect().contains(event->position().toPoint()) && isSelectable(row))
        setCurrent(row);
    else if (!rect().contains(event->position().toPoint()))
        setCurrent(-1);
    if (event->globalPosition().toPoint() != m_openedAt)
        m_pressedInside = m_pressedInside || (event->buttons() != Qt::NoButton);
}

void PopupMenuWidget::mousePressEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint())) {
        // A press outside closes the popup (QWidget does that for Qt::Popup windows).
        m_closeExpected = true;
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressedInside = true;
}

void PopupMenuWidget::mouseReleaseEvent(QMouseEvent* event)
{
    // The release of the press that opened the menu chooses nothing unless the pointer
    // was dragged onto an item first.
    if (!m_pressedInside)
        return;
    const QPoint pos = event->position().toPoint();
    const int row = contentRect().contains(pos) ? rowAt(pos.y()) : -1;
    if (isSelectable(row))
        choose(row);
}

void PopupMenuWidget::wheelEvent(QWheelEvent* event)
{
    if (m_scrollBar->isVisible())
        QApplication::sendEvent(m_scrollBar, event);
}

void PopupMenuWidget::leaveEvent(QEvent* event)
{
    setCurrent(-1);
    QWidget::leaveEvent(event);
}

void PopupMenuWidget::closeEvent(QCloseEvent* event)
{
    // Qt closes every popup when the application turns inactive, and on X11 it learns of a
    // lost focus some 400 ms late: when the program's window lost the focus just before the
    // click on the icon, the menu would vanish under the user's first keys, which then went
    // nowhere. The menu holds the keyboard and the mouse while it is open, so only the user
    // closes it: Escape, a choice or a press outside.
    if (!m_closeExpected) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool PopupMenuWidget::focusNextPrevChild(bool next)
{
    // Tab never leaves a menu; it moves the highlight.
    moveCurrent(next ? 1 : -1);
    return true;
}

void PopupMenuWidget::hideEvent(QHideEvent* event)
{
    m_inputRetry.stop();
    if (m_tookInput) {
        // Qt lets go only of the grabs it took itself.
        m_tookInput = false;
        if (QWindow* window = windowHandle()) {
            window->setMouseGrabEnabled(false);
            window->setKeyboardGrabEnabled(false);
        }
    }
    QWidget::hideEvent(event);
    QAccessibleEvent closed(this, QAccessible::PopupMenuEnd);
    QAccessible::updateAccessibility(&closed);
    if (m_loop)
        m_loop->quit();
}

} // namespace kx::popup
