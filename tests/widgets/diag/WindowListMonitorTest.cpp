#include "diag/qt/WindowListMonitor.h"

#include "backends/fake/FakeDesktop.h"
#include "transmit/Clock.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <clocale>

using namespace kx;
using platform::WindowHandle;

namespace {

struct Rig
{
    Rig()
    {
        desktop.openWindow("Below");
        main = desktop.openWindow("[Kalmotex]");
        hidden = desktop.openWindow("Minimised", false);
        desktop.openWindow("Editor");
    }

    QListWidget* list() const { return monitor.findChild<QListWidget*>("WList"); }
    QCheckBox* visibleOnly() const { return monitor.findChild<QCheckBox*>("VisChk"); }
    QPushButton* exit() const { return monitor.findChild<QPushButton*>("Command1"); }
    QStringList shownLines() const
    {
        QStringList lines;
        for (int i = 0; i < list()->count(); ++i)
            lines << list()->item(i)->text();
        return lines;
    }

    platform::FakeDesktop desktop;
    WindowHandle main = 0;
    WindowHandle hidden = 0;
    transmit::FixedClock clock { 2024, 2, 29, 8, 5, 0 };
    diag::WindowListMonitor monitor { desktop, clock, [this] { return main; }, desktop };
};

const QString now = "02/29/24 08:05:00";

} // namespace

class WindowListMonitorTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(setlocale(LC_TIME, "C")); }

    void opensEmptyAndListsTheWindowsFromTheMainWindowUpAtTheFirstTick()
    {
        Rig rig;
        rig.monitor.open();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.monitor));
        QCOMPARE(rig.list()->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 3, 5000);
        QCOMPARE(rig.shownLines(),
            (QStringList { now, "001 00000101 V '[Kalmotex]'", "002 00000103 V 'Editor'" }));
    }

    void clearingVisibleOnlyShowsHiddenWindowsFromTheNextTick()
    {
        Rig rig;
        rig.monitor.open();
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 3, 5000);
        QVERIFY(rig.visibleOnly()->isChecked());
        QTest::mouseClick(rig.visibleOnly(), Qt::LeftButton);
        QVERIFY(!rig.visibleOnly()->isChecked());
        QCOMPARE(rig.list()->count(), 3); // nothing reacts to the box itself
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 4, 5000);
        QCOMPARE(rig.shownLines(),
            (QStringList { now,
                "001 00000101 V '[Kalmotex]'",
                "002 00000102 X 'Minimised'",
                "003 00000103 V 'Editor'" }));

        // The list follows the desktop: a closed window is gone, numbering starts at 001 again.
        rig.desktop.closeWindow(rig.hidden);
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 3, 5000);
        QCOMPARE(rig.shownLines().at(2), QString("002 00000103 V 'Editor'"));
    }

    void exitClosesItAndReopeningStartsAfresh()
    {
        Rig rig;
        rig.monitor.open();
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 3, 5000);
        QTest::mouseClick(rig.visibleOnly(), Qt::LeftButton);
        QTest::mouseClick(rig.exit(), Qt::LeftButton);
        QVERIFY(!rig.monitor.isVisible());
        rig.desktop.openWindow("Later");
        rig.monitor.open();
        QVERIFY(rig.visibleOnly()->isChecked());
        QCOMPARE(rig.list()->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 4, 5000);
    }

    void ctrlCCopiesTheMarkedLine()
    {
        Rig rig;
        rig.monitor.open();
        QVERIFY(QTest::qWaitForWindowActive(&rig.monitor));
        rig.monitor.fillList();
        rig.list()->setFocus();
        rig.list()->setCurrentRow(2);
        QTest::keyClick(rig.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(rig.desktop.clipboardText(), std::string("002 00000103 V 'Editor'"));
    }

    void captionControlsAndFixedPitchListAsDesigned()
    {
        Rig rig;
        QCOMPARE(rig.monitor.windowTitle(), QString("QZDEBUGFRM"));
        QCOMPARE(rig.visibleOnly()->text(), QString("visible only"));
        QCOMPARE(rig.exit()->text(), QString("Exit"));
        QVERIFY(QFontInfo(rig.list()->font()).fixedPitch());
        const double perTwip = rig.monitor.logicalDpiX() / 1440.0;
        QCOMPARE(rig.monitor.width(), qRound(7965 * perTwip));
        QCOMPARE(rig.list()->geometry().left(), qRound(180 * perTwip));
        // The captions fit (Qt's own minimum button width is wider than the designed one).
        QVERIFY(rig.exit()->fontMetrics().horizontalAdvance("Exit") < rig.exit()->width());
        QVERIFY(rig.visibleOnly()->sizeHint().width() <= rig.visibleOnly()->width());
    }
};

QTEST_MAIN(WindowListMonitorTest)
#include "WindowListMonitorTest.moc"
