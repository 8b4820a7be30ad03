#include "popup/qt/TrayController.h"
#include "popup/qt/NotificationIcon.h"
#include "popup/qt/PopupMenuWidget.h"
#include "widgets/SendStack.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using namespace kx;

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

// The tray over the send pipeline; counts what it asks the program to do.
struct Rig : test::SendStack
{
    explicit Rig(std::string_view ini)
        : SendStack(ini)
    {
    }
    popup::TrayController tray { config, transmitter, { [this] { ++shown; }, [this] { ++exited; } } };
    int shown = 0;
    int exited = 0;
};

// Entries "Eins" and "Zwei"; the menu: Eins, Zwei, -, &Bearbeiten, -, &Abbrechen, B&eenden.
const char* einsZwei = "[Name]\r\n1=Eins\r\n2=Zwei\r\n[Text]\r\n1=eins\r\n2=zwei\r\n";

// Opens the menu as a press on the icon does and, while its own event loop runs, lets `user`
// work it. A menu still open afterwards is closed with Escape (a second one when the first
// only took back a filter), so a failing test ends.
// False when no menu opened.
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

} // namespace

class TrayControllerTest : public QObject
{
    Q_OBJECT

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

    // While a send runs the icon's tip says so (that a press then opens no menu: e2e
    // tray_busy); afterwards all is as before.
    void theTipShowsARunningSend()
    {
        Rig rig("[Name]\r\n1=Erst\r\n[Text]\r\n1=AAA\r\n");
        const auto target = rig.desktop.openWindow("Editor");
        rig.tray.addIcon(QIcon());
        rig.tray.rebuildMenu();
        QString tipDuringSend;
        rig.desktop.post([&] { tipDuringSend = rig.tray.notificationIcon().toolTip(); });
        rig.tray.chooseMenuItem(1);
        QCOMPARE(tipDuringSend, QString("[Kalmotex] - Übertragung läuft"));
        QCOMPARE(rig.tray.notificationIcon().toolTip(), QString("[Kalmotex]"));
        QCOMPARE(rig.desktop.received(target), std::string("AAA"));
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
        using Outcome = popup::TrayController::RequestOutcome;
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
        using Outcome = popup::TrayController::RequestOutcome;
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
};

QTEST_MAIN(TrayControllerTest)
#include "TrayControllerTest.moc"
