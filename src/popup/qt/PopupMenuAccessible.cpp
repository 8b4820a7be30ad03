#include "popup/qt/PopupMenuAccessible.h"

#include "popup/qt/PopupMenuWidget.h"

namespace kx::popup {

namespace {

// One row of the menu (0-based), read from the widget each time, so it never goes stale.
class PopupMenuItemAccessible : public QAccessibleInterface
{
public:
    PopupMenuItemAccessible(PopupMenuWidget* menu, int row)
        : m_menu(menu)
        , m_row(row)
    {
    }

    int row() const { return m_row; }
    bool isValid() const override { return m_menu && m_row < m_menu->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_menu ? m_menu->windowHandle() : nullptr; }

    QAccessibleInterface* parent() const override
    {
        return m_menu ? QAccessible::queryAccessibleInterface(m_menu) : nullptr;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        // A screen reader says the tip too: for the team heading, why it has no entries.
        if (t == QAccessible::Description)
            return m_menu->itemTip(m_row + 1);
        if (t != QAccessible::Name)
            return {};
        return m_menu->visibleCaption(m_row + 1);
    }
    void setText(QAccessible::Text, const QString&) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_menu->itemRect(m_row + 1);
        return r.isEmpty() ? QRect() : QRect(m_menu->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override
    {
        return isValid() && m_menu->isSeparator(m_row + 1) ? QAccessible::Separator : QAccessible::MenuItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.disabled = !m_menu->isEnabled() || !m_menu->isChoosable(m_row + 1);
        s.invisible = !m_menu->isVisible();
        s.offscreen = rect().isEmpty();
        s.focusable = !s.disabled;
        s.selectable = !s.disabled;
        const bool current = m_menu->currentIndex() == m_row + 1;
        // The open menu holds the keyboard without taking Qt's focus (see the widget).
        s.focused = current && m_menu->isVisible();
        s.selected = current;
        s.hotTracked = current;
        s.defaultButton = m_menu->defaultIndex() == m_row + 1;
        return s;
    }

private:
    QPointer<PopupMenuWidget> m_menu;
    int m_row;
};

QAccessibleInterface* createAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(PopupMenuWidget::staticMetaObject.className()))
        if (auto* menu = qobject_cast<PopupMenuWidget*>(object))
            return new PopupMenuAccessible(menu);
    return nullptr;
}

} // namespace

PopupMenuAccessible::PopupMenuAccessible(PopupMenuWidget* menu)
    : QAccessibleWidget(menu, QAccessible::PopupMenu)
{
}

PopupMenuAccessible::~PopupMenuAccessible()
{
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
}

PopupMenuWidget* PopupMenuAccessible::menu() const { return static_cast<PopupMenuWidget*>(widget()); }

int PopupMenuAccessible::childCount() const { return menu()->count(); }

QAccessibleInterface* PopupMenuAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto it = m_children.constFind(index); it != m_children.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* item = new PopupMenuItemAccessible(menu(), index);
    m_children.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int PopupMenuAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* item = dynamic_cast<const PopupMenuItemAccessible*>(child);
    return item && item->parent() && item->parent()->object() == menu() ? item->row() : -1;
}

QAccessibleInterface* PopupMenuAccessible::childAt(int x, int y) const
{
    const int index = menu()->indexAt(menu()->mapFromGlobal(QPoint(x, y)));
    return index > 0 ? child(index - 1) : nullptr;
}

QAccessibleInterface* PopupMenuAccessible::focusChild() const
{
    const int index = menu()->currentIndex();
    return index > 0 ? child(index - 1) : nullptr;
}

void installPopupMenuAccessibility()
{
    // installFactory ignores a factory it already has.
    QAccessible::installFactory(createAccessible);
}

} // namespace kx::popup
