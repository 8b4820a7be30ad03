#include "popup/qt/PopupMenuWidget.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using kx::popup::MenuItem;
using kx::popup::PopupMenuWidget;

namespace {

kx::popup::MenuChoice entry(int number) { return { kx::popup::MenuCommand::SendEntry, number }; }

std::vector<MenuItem> menuWith(std::vector<MenuItem> entries)
{
    using kx::popup::MenuCommand;
    for (MenuItem fixed : { MenuItem { "-", {} },
             MenuItem { "&Bearbeiten", { MenuCommand::ShowMainWindow, 0 } },
             MenuItem { "-", {} },
             MenuItem { "&Abbrechen", {} },
             MenuItem { "B&eenden", { MenuCommand::Exit, 0 } } })
        entries.push_back(fixed);
    return entries;
}

} // namespace

class PopupMenuWidgetTest : public QObject
{
    Q_OBJECT

    static void open(PopupMenuWidget& menu, std::vector<MenuItem> items, QPoint at = { 10, 10 })
    {
        const int count = static_cast<int>(items.size());
        menu.setItems(std::move(items), count - 3);
        menu.popup(at);
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
    }

    // The rows as the user sees them, separators as "-".
    static QStringList shownRows(const PopupMenuWidget& menu)
    {
        QStringList rows;
        for (int i = 1; i <= menu.count(); ++i)
            rows << (menu.isSeparator(i) ? QString("-") : menu.visibleCaption(i));
        return rows;
    }

    static const QStringList& fixedRows()
    {
        static const QStringList rows { "-", "Bearbeiten", "-", "Abbrechen", "Beenden" };
        return rows;
    }

private slots:
    void longMenuFitsOnTheScreenScrollsAndShrinksWhenFilteredEvenToNothing()
    {
        std::vector<MenuItem> entries;
        for (int i = 1; i <= 32762; ++i)
            entries.push_back({ "Eintrag " + std::to_string(i), entry(i) });
        PopupMenuWidget menu;
        menu.setTypeToFilter(true);
        open(menu, menuWith(std::move(entries)), { 5, 500 });
        const QRect screen = menu.screen()->availableGeometry();
        QVERIFY2(screen.contains(menu.geometry()),
            qPrintable(QString("%1,%2 %3x%4 in %5x%6")
                           .arg(menu.x())
                           .arg(menu.y())
                           .arg(menu.width())
                           .arg(menu.height())
                           .arg(screen.width())
                           .arg(screen.height())));
        auto* bar = menu.findChild<QScrollBar*>();
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(&menu, Qt::Key_End);
        QCOMPARE(menu.currentIndex(), 32767);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(!menu.itemRect(32767).isEmpty());
        QTest::keyClick(&menu, Qt::Key_Home);
        QTest::keyClick(&menu, Qt::Key_PageDown);
        QVERIFY(menu.currentIndex() > 10);
        QVERIFY(!menu.itemRect(menu.currentIndex()).isEmpty());

        const int fullHeight = menu.height();
        QTest::keyClicks(&menu, "2345");
        QStringList matching; // 2345, 12345, 22345, 23450 ... 23459, 32345
        for (int i = 1; i <= 32762; ++i)
            if (QString::number(i).contains("2345"))
                matching << QString("Eintrag %1").arg(i);
        QCOMPARE(matching.size(), 14);
        QCOMPARE(shownRows(menu), matching + fixedRows());
        QVERIFY(menu.height() < fullHeight);
        QVERIFY(screen.contains(menu.geometry()));
        QVERIFY(!bar->isVisible());
        // The filter line sits above the rows and is no row itself.
        QVERIFY(menu.itemRect(1).top() > menu.fontMetrics().height());
        // No match: a grey line that cannot be chosen (that Enter then sends nothing and
        // Backspace takes the letter back: e2e tray_filter).
        QTest::keyClicks(&menu, "x");
        QCOMPARE(shownRows(menu), QStringList({ "(keine Treffer)" }) + fixedRows());
        QVERIFY(!menu.isChoosable(1));
        QTest::keyClick(&menu, Qt::Key_Backspace);
        // A click on a narrowed row chooses its element of the full list.
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        const QPoint fourth = menu.itemRect(4).center();
        QTest::mouseMove(&menu, fourth);
        QTest::mouseClick(&menu, Qt::LeftButton, {}, fourth);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 23450);
    }

    void widestCaptionFitsAmongManyShortOnes()
    {
        std::vector<MenuItem> entries;
        for (int i = 1; i <= 500; ++i)
            entries.push_back({ "WWWW" + std::to_string(i), entry(i) });
        const std::string wide = "Ein viel längerer Name mit &Zugriffstaste, der die Breite bestimmt";
        entries.insert(entries.begin() + 250, { wide, entry(501) });
        PopupMenuWidget menu;
        open(menu, menuWith(std::move(entries)));
        const QString shown = QString::fromStdString(wide).remove(u'&');
        QVERIFY(menu.itemRect(1).width() > menu.fontMetrics().horizontalAdvance(shown));
    }

    void menuNearTheScreenCornerStaysFullyVisible()
    {
        PopupMenuWidget menu;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        open(menu, menuWith({ { "Ein recht langer Eintrag", entry(1) } }), screen.bottomRight());
        QVERIFY(screen.contains(menu.geometry()));
        // Flipped to the left of and above the pointer, as menus open from a corner do.
        QVERIFY(menu.geometry().right() < screen.right());
        QVERIFY(menu.geometry().bottom() < screen.bottom());
    }

    void keysMoveLikeInOtherMenus()
    {
        PopupMenuWidget menu;
        open(menu, menuWith({ { "Eins", entry(1) }, { "Zwei", entry(2) } }));
        // Tab and Shift+Tab move the highlight and skip separators, they never leave the menu.
        // (Up, Down and Home: the end-to-end tests.)
        QTest::keyClick(&menu, Qt::Key_Tab);
        QTest::keyClick(&menu, Qt::Key_Tab);
        QTest::keyClick(&menu, Qt::Key_Tab);
        QCOMPARE(menu.currentIndex(), 4);
        QTest::keyClick(&menu, Qt::Key_Backtab);
        QCOMPARE(menu.currentIndex(), 2);
        QVERIFY(menu.hasFocus());
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        QTest::keyClick(&menu, Qt::Key_Space);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 2);
        QVERIFY(!menu.isVisible());
    }

    void screenReadersSeeTheItemsAndFollowTheHighlight()
    {
        PopupMenuWidget menu;
        open(menu, menuWith({ { "&Adresse", entry(1) }, { "R&&D-Bericht", entry(2) } }));
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&menu);
        QVERIFY(tree);
        QCOMPARE(tree->role(), QAccessible::PopupMenu);
        QCOMPARE(tree->childCount(), 7);
        const QStringList names { "Adresse", "R&D-Bericht", "", "Bearbeiten", "", "Abbrechen", "Beenden" };
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* item = tree->child(i);
            QVERIFY(item && item->isValid());
            QCOMPARE(item->text(QAccessible::Name), names[i]);
            const bool separator = names[i].isEmpty();
            QCOMPARE(item->role(), separator ? QAccessible::Separator : QAccessible::MenuItem);
            QCOMPARE(item->parent()->object(), &menu);
            QCOMPARE(tree->indexOfChild(item), i);
            QVERIFY(!item->state().focused);
            QVERIFY(menu.rect().contains(menu.mapFromGlobal(item->rect().center())));
        }
        QVERIFY(!tree->focusChild());

        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        QAccessibleInterface* focused = tree->focusChild();
        QVERIFY(focused);
        QCOMPARE(focused->text(QAccessible::Name), QString("R&D-Bericht"));
        QVERIFY(focused->state().focused);
        QVERIFY(!tree->child(0)->state().focused);
        QCOMPARE(tree->childAt(focused->rect().center().x(), focused->rect().center().y()), focused);
    }
};

QTEST_MAIN(PopupMenuWidgetTest)
#include "PopupMenuWidgetTest.moc"
