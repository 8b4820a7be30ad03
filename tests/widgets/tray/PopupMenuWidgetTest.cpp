#include "popup/qt/PopupMenuWidget.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using kx::popup::MenuItem;
using kx::popup::PopupMenuWidget;

namespace {

std::vector<MenuItem> menuWith(std::vector<MenuItem> entries)
{
    for (MenuItem fixed : { MenuItem { "-", "-1" },
             MenuItem { "&Bearbeiten", "-2" },
             MenuItem { "-", "-1" },
             MenuItem { "&Abbrechen", "-4" },
             MenuItem { "B&eenden", "-3" } })
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

private slots:
    void arrowKeysSkipSeparatorsAndEnterChooses()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({ { "Eins", "1" }, { "Zwei", "2" } }));
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down); // over the separator to "&Bearbeiten"
        QCOMPARE(menu.currentIndex(), 4);
        QTest::keyClick(&menu, Qt::Key_Up);
        QTest::keyClick(&menu, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 2);
        QVERIFY(!menu.isVisible());
    }

    void keysChooseOnlyWhenReleasedSoTheSendDoesNotMeetThemHeld()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({ { "Eins", "1" } }));
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyPress(&menu, Qt::Key_Return);
        QCOMPARE(chosen.count(), 0);
        QTest::keyRelease(&menu, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 1);

        open(menu, menuWith({ { "Eins", "1" } }));
        QTest::keyPress(&menu, Qt::Key_E); // "B&eenden"
        QCOMPARE(chosen.count(), 1);
        QTest::keyRelease(&menu, Qt::Key_E);
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(chosen.at(1).at(0).toInt(), 6);
    }

    void upFromNothingWrapsToTheLastItem()
    {
        PopupMenuWidget menu;
        open(menu, menuWith({ { "Eins", "1" } }));
        QTest::keyClick(&menu, Qt::Key_Up);
        QCOMPARE(menu.currentIndex(), 6);
    }

    void uniqueAccessKeyChoosesAtOnceSharedOneCycles()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({ { "&Adresse", "1" }, { "&Antwort", "2" }, { "A&&B", "3" } }));
        QTest::keyClick(&menu, Qt::Key_A); // "&Adresse", "&Antwort" and "&Abbrechen" share it
        QCOMPARE(menu.currentIndex(), 1);
        QTest::keyClick(&menu, Qt::Key_A);
        QCOMPARE(menu.currentIndex(), 2);
        QCOMPARE(chosen.count(), 0);
        QTest::keyClick(&menu, Qt::Key_B); // "A&&B" shows an ampersand, "&Bearbeiten" owns B
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 5);
    }

    void escapeClosesWithoutAChoice()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({}));
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Escape);
        QVERIFY(!menu.isVisible());
        QCOMPARE(chosen.count(), 0);
    }

    void clickOnAnItemChoosesItButNotOnASeparator()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({ { "Eins", "1" }, { "Zwei", "2" } }));
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.itemRect(3).center());
        QCOMPARE(chosen.count(), 0);
        QVERIFY(menu.isVisible());
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.itemRect(2).center());
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 2);
    }

    void releaseOfTheOpeningPressChoosesNothing()
    {
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
        open(menu, menuWith({ { "Eins", "1" } }));
        QTest::mouseRelease(&menu, Qt::LeftButton, {}, menu.itemRect(1).center());
        QCOMPARE(chosen.count(), 0);
        QVERIFY(menu.isVisible());
    }

    void longMenuFitsOnTheScreenAndScrollsToTheLastEntry()
    {
        std::vector<MenuItem> entries;
        for (int i = 1; i <= 32762; ++i)
            entries.push_back({ "Eintrag " + std::to_string(i), std::to_string(i) });
        PopupMenuWidget menu;
        QSignalSpy chosen(&menu, &PopupMenuWidget::triggered);
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
    }

    void widestCaptionFitsAmongManyShortOnes()
    {
        std::vector<MenuItem> entries;
        for (int i = 1; i <= 500; ++i)
            entries.push_back({ "WWWW" + std::to_string(i), std::to_string(i) });
        const std::string wide = "Ein viel längerer Name mit &Zugriffstaste, der die Breite bestimmt";
        entries.insert(entries.begin() + 250, { wide, "501" });
        PopupMenuWidget menu;
        open(menu, menuWith(std::move(entries)));
        const QString shown = QString::fromStdString(wide).remove(u'&');
        QVERIFY(menu.itemRect(1).width() > menu.fontMetrics().horizontalAdvance(shown));
    }

    void menuNearTheScreenCornerStaysFullyVisible()
    {
        PopupMenuWidget menu;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        open(menu, menuWith({ { "Ein recht langer Eintrag", "1" } }), screen.bottomRight());
        QVERIFY(screen.contains(menu.geometry()));
        // Flipped to the left of and above the pointer, as menus open from a corner do.
        QVERIFY(menu.geometry().right() < screen.right());
        QVERIFY(menu.geometry().bottom() < screen.bottom());
    }
};

QTEST_MAIN(PopupMenuWidgetTest)
#include "PopupMenuWidgetTest.moc"
