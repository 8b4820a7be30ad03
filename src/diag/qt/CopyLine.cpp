#include "diag/qt/CopyLine.h"

#include "platform/Clipboard.h"

#include <QAction>
#include <QKeySequence>
#include <QListWidget>

namespace kx::diag {

void copyMarkedLineOnCtrlC(QListWidget* list, platform::Clipboard& clipboard)
{
    auto* copy = new QAction(list);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    list->addAction(copy);
    QObject::connect(copy, &QAction::triggered, list, [list, &clipboard] {
        if (const QListWidgetItem* item = list->currentItem(); item && item->isSelected())
            // A copy the clipboard refuses leaves it as it was, as in any other program.
            static_cast<void>(clipboard.setText(item->text().toStdString()));
    });
}

} // namespace kx::diag
