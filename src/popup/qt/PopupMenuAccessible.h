#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace kx::popup {

class PopupMenuWidget;

// What screen readers see of PopupMenuWidget, which paints its items itself: a popup menu
// whose children are its items (menu items and separators), named by their captions
// without the access-key marker, the highlighted one focused.
class PopupMenuAccessible : public QAccessibleWidget
{
public:
    explicit PopupMenuAccessible(PopupMenuWidget* menu);
    ~PopupMenuAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    PopupMenuWidget* menu() const;

    // The item interfaces, made when first asked for and kept, so each item keeps its id.
    mutable QHash<int, QAccessible::Id> m_children;
};

// Lets Qt's accessibility find PopupMenuAccessible; installing it more than once is harmless.
void installPopupMenuAccessibility();

} // namespace kx::popup
