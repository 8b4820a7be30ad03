#include "popup/qt/TrayController.h"
#include "popup/qt/NotificationIcon.h"
#include "popup/qt/PopupMenuWidget.h"
#include "support/SendStack.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace kx;
using kx::popup::MenuItem;
using kx::popup::PopupMenuWidget;
using Outcome = kx::popup::TrayController::RequestOutcome;

namespace {

// The popup menu when it is open, else null.
QWidget* openMenu()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "PumMain" && widget->isVisible())
            return widget;
    }
    return nullptr;
}

struct Rig : test::SendStack
{
    using SendStack::SendStack;
    popup::TrayController tray { config, transmitter, { [this] { ++shown; }, [this] { ++exited; } } };
    int shown = 0;
    int exited = 0;
};

const QStringList fixedRows { "-", "Bearbeiten", "-", "Abbrechen", "Beenden" };

// Entries "Eins" and "Zwei"; the menu: Eins, Zwei, -, &Bearbeiten, -, &Abbrechen, B&eenden.
const char* einsZwei = "[Name]\r\n1=Eins\r\n2=Zwei\r\n[Text]\r\n1=eins\r\n2=zwei\r\n";

// Opens the menu as a press on the icon does and, while its own event loop runs, lets `user`
// work it. A menu still open afterwards is closed with Escape (a second one when the first
// only took back a filter), so a failing test ends. False when no menu opened.
bool useMenu(Rig& rig, const std::function<void(popup::PopupMenuWidget&)>& user)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<popup::PopupMenuWidget*>(openMenu())) {
            opened = true;
            user(*menu);
        }
        for (int presses = 0; presses < 2 && openMenu(); ++presses)
            QTest::keyClick(openMenu(), Qt::Key_Escape);
    });
    rig.tray.showMenu();
    return opened;
}

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

class TrayControllerTest : public QObject
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

private slots:
    // Otherwise the send would start with Enter or the access key still held down. On X11 the
    // program learns some 400 ms late that its window lost the focus, and Qt then closes
    // every popup: the keys the user pressed meanwhile must still count.
    void keysChooseOnlyWhenReleasedAndALateFocusLossKeepsTheMenuOpen()
    {
        Rig rig(einsZwei);
        const auto target = rig.desktop.openWindow("Editor");
        bool stayedOpen = false;
        bool openWhilePressed = false;
        QVERIFY(useMenu(rig, [&](popup::PopupMenuWidget& menu) {
            QEvent deactivate(QEvent::ApplicationDeactivate);
            QApplication::sendEvent(qApp, &deactivate);
            stayedOpen = menu.isVisible();
            QTest::keyClick(&menu, Qt::Key_Down);
            QTest::keyPress(&menu, Qt::Key_Return);
            openWhilePressed = menu.isVisible();
            QTest::keyRelease(&menu, Qt::Key_Return);
        }));
        QVERIFY(stayedOpen);
        QVERIFY(openWhilePressed);
        QCOMPARE(rig.desktop.received(target), std::string("eins"));

        openWhilePressed = false;
        QVERIFY(useMenu(rig, [&](popup::PopupMenuWidget& menu) {
            QTest::keyPress(&menu, Qt::Key_E); // "B&eenden"
            openWhilePressed = menu.isVisible();
            QTest::keyRelease(&menu, Qt::Key_E);
        }));
        QVERIFY(openWhilePressed);
        QCOMPARE(rig.exited, 1);
        QCOMPARE(rig.desktop.received(target), std::string("eins"));
    }

    void uniqueAccessKeyChoosesAtOnceSharedOneCycles()
    {
        // In the order of the file, so the places are known.
        Rig rig("[Name]\r\n1=&Adresse\r\n2=&Antwort\r\n3=A&&B\r\n[Text]\r\n1=a\r\n2=b\r\n3=c\r\n"
                "[Common]\r\nSortNames=0\r\n");
        const auto target = rig.desktop.openWindow("Editor");
        std::vector<int> highlighted;
        bool openAfterSharedKey = false;
        QVERIFY(useMenu(rig, [&](popup::PopupMenuWidget& menu) {
            QTest::keyClick(&menu, Qt::Key_A); // "&Adresse", "&Antwort" and "&Abbrechen" share it
            highlighted.push_back(menu.currentIndex());
            QTest::keyClick(&menu, Qt::Key_A);
            highlighted.push_back(menu.currentIndex());
            openAfterSharedKey = menu.isVisible();
            QTest::keyClick(&menu, Qt::Key_B); // "A&&B" shows an ampersand, "&Bearbeiten" owns B
        }));
        QCOMPARE(highlighted, (std::vector<int> { 1, 2 }));
        QVERIFY(openAfterSharedKey);
        QCOMPARE(rig.shown, 1);
        QCOMPARE(rig.desktop.received(target), std::string(""));
    }

    // The release of the press on the icon that opened the menu can land on an entry: it
    // sends nothing, nor does a click on a separator; a click on an item sends it.
    void clickOnAnItemSendsItButTheOpeningReleaseOrASeparatorNothing()
    {
        Rig rig(einsZwei);
        const auto target = rig.desktop.openWindow("Editor");
        bool openAfterRelease = false;
        bool openAfterSeparatorClick = false;
        QVERIFY(useMenu(rig, [&](popup::PopupMenuWidget& menu) {
            QTest::mouseRelease(&menu, Qt::LeftButton, {}, menu.itemRect(1).center());
            openAfterRelease = menu.isVisible();
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.itemRect(3).center());
            openAfterSeparatorClick = menu.isVisible();
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.itemRect(2).center());
        }));
        QVERIFY(openAfterRelease);
        QVERIFY(openAfterSeparatorClick);
        QCOMPARE(rig.desktop.received(target), std::string("zwei"));
    }

    // A press on the icon that the program handles while a send runs opens no menu (the
    // menu would start a second send); the icon's tip says why. Afterwards all is as before.
    void pressDuringASendOpensNoMenuAndTheTipShowsTheSend()
    {
        Rig rig("[Name]\r\n1=Erst\r\n2=Zweit\r\n[Text]\r\n1=AAA\r\n2=BBB\r\n"
                "[Title]\r\n1=Ziel A\r\n2=Ziel B\r\n");
        const auto a = rig.desktop.openWindow("Ziel A");
        const auto b = rig.desktop.openWindow("Ziel B");
        rig.tray.addIcon(QIcon());
        rig.tray.rebuildMenu(); // Erst, Zweit, ...
        QString tipDuringSend;
        bool menuOpened = false;
        rig.desktop.post([&] {
            tipDuringSend = rig.tray.notificationIcon().toolTip();
            // A menu that opens all the same is closed again, so the test fails, not hangs.
            QTimer closer;
            connect(&closer, &QTimer::timeout, [&] {
                if (QWidget* menu = openMenu()) {
                    menuOpened = true;
                    QTest::keyClick(menu, Qt::Key_Escape);
                }
            });
            closer.start(0);
            rig.tray.showMenu();
        });

        rig.tray.chooseMenuItem(1);

        QVERIFY(!menuOpened);
        QCOMPARE(tipDuringSend, QString("[Kalmotex] - Übertragung läuft"));
        QCOMPARE(rig.tray.notificationIcon().toolTip(), QString("[Kalmotex]"));
        QCOMPARE(rig.desktop.received(a), std::string("AAA"));
        QCOMPARE(rig.desktop.received(b), std::string(""));
        rig.tray.chooseMenuItem(2);
        QCOMPARE(rig.desktop.received(b), std::string("BBB"));
        rig.tray.deleteIcon();
        QVERIFY(!rig.tray.notificationIcon().isAdded());
        // A tip longer than the tray shows is cut.
        popup::NotificationIcon icon;
        icon.addIcon(QIcon(), QString(70, u'x'));
        QCOMPARE(icon.toolTip(), QString(63, u'x'));
    }

    // A send asked for by another process (kalmotex-cli send N) takes the entry as the file
    // holds it now (by number whatever the menu's order: e2e tray_cli_send).
    void requestForAnEntryChoosesItsItem()
    {
        Rig rig("[Name]\r\n1=Zeta\r\n2=-\r\n[Text]\r\n1=z\r\n2=s\r\n");
        const auto target = rig.desktop.openWindow("Editor");
        // Entry 2 is drawn as a separator line: nobody can click it. There is no entry 3.
        QCOMPARE(rig.tray.chooseEntry(2), Outcome::NoSuchEntry);
        QCOMPARE(rig.tray.chooseEntry(3), Outcome::NoSuchEntry);
        rig.dir.write("Kalmotex.ini", "[Name]\r\n1=Zeta\r\n2=Neu\r\n[Text]\r\n2=neu\r\n");
        QCOMPARE(rig.tray.chooseEntry(2), Outcome::Typed);
        QCOMPARE(rig.desktop.received(target), std::string("neu"));
        QVERIFY(rig.prompts.shown().empty());
    }

    // One send at a time, as the menu itself refuses to open while one runs.
    void requestDuringASendIsRefused()
    {
        Rig rig(einsZwei);
        const auto target = rig.desktop.openWindow("Editor");
        std::optional<Outcome> during;
        rig.desktop.post([&] { during = rig.tray.chooseEntry(2); });
        QCOMPARE(rig.tray.chooseEntry(1), Outcome::Typed);
        QVERIFY(during == Outcome::Busy);
        QCOMPARE(rig.desktop.received(target), std::string("eins"));
        QCOMPARE(rig.tray.chooseEntry(2), Outcome::Typed);
        QCOMPARE(rig.desktop.received(target), std::string("einszwei"));
    }

    void longMenuFitsOnTheScreenScrollsAndShrinksWhenFilteredEvenToNothing()
    {
        std::vector<MenuItem> entries;
        for (int i = 1; i <= 32762; ++i)
            entries.push_back({ "Eintrag " + std::to_string(i), entry(i) });
        PopupMenuWidget menu;
        menu.setTypeToFilter(true);
        open(menu, menuWith(std::move(entries)), { 5, 500 });
        const QRect screen = menu.screen()->availableGeometry();
        QCOMPARE(menu.geometry() & screen, menu.geometry());
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
        QCOMPARE(shownRows(menu), matching + fixedRows);
        QVERIFY(menu.height() < fullHeight);
        QVERIFY(screen.contains(menu.geometry()));
        QVERIFY(!bar->isVisible());
        // The filter line sits above the rows and is no row itself.
        QVERIFY(menu.itemRect(1).top() > menu.fontMetrics().height());
        // No match: a grey line that cannot be chosen (that Enter then sends nothing and
        // Backspace takes the letter back: e2e tray_filter).
        QTest::keyClicks(&menu, "x");
        QCOMPARE(shownRows(menu), QStringList({ "(keine Treffer)" }) + fixedRows);
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
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&menu, Qt::Key_Tab);
        QCOMPARE(menu.currentIndex(), 4);
        QTest::keyClick(&menu, Qt::Key_Backtab);
        QCOMPARE(menu.currentIndex(), 2);
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

QTEST_MAIN(TrayControllerTest)
#include "TrayControllerTest.moc"
