#include "transmit/qt/TargetSelectionDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using kx::platform::WindowHandle;
using kx::transmit::TargetSelectionDialog;
using kx::transmit::WindowCandidate;

class TargetSelectionDialogTest : public QObject
{
    Q_OBJECT

    void open(TargetSelectionDialog& form, const std::vector<WindowCandidate>& candidates)
    {
        form.setCandidates(candidates);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    static QListWidget* list(TargetSelectionDialog& form)
    {
        return form.findChild<QListWidget*>("lbZielFenster");
    }
    static QPushButton* button(TargetSelectionDialog& form, int index)
    {
        return form.findChild<QPushButton*>(QString("Btn_%1").arg(index));
    }

private slots:
    void listsTitlesSortedWithoutCaseAndOkChoosesTheSelectedWindow()
    {
        TargetSelectionDialog form;
        open(form, { { "Zeta - Editor", 0x30 }, { "alpha - Editor", 0x10 }, { "Beta - Editor", 0x20 } });
        QListWidget* lb = list(form);
        QCOMPARE(lb->count(), 3);
        QCOMPARE(lb->item(0)->text(), QString("alpha - Editor"));
        QCOMPARE(lb->item(1)->text(), QString("Beta - Editor"));
        QCOMPARE(lb->item(2)->text(), QString("Zeta - Editor"));
        QCOMPARE(lb->item(2)->data(Qt::UserRole).toULongLong(), 0x30ULL);
        QCOMPARE(lb->currentRow(), 0);
        QTest::mouseClick(button(form, 1), Qt::LeftButton);
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x10));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void equalTitlesEachStandForTheirOwnWindow()
    {
        TargetSelectionDialog form;
        open(form, { { "xterm", 0x1 }, { "xterm", 0x2 } });
        list(form)->setCurrentRow(1);
        QTest::mouseClick(button(form, 1), Qt::LeftButton);
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x2));
    }

    void doubleClickChoosesAtOnce()
    {
        TargetSelectionDialog form;
        open(form, { { "Eins", 0x1 }, { "Zwei", 0x2 } });
        QListWidget* lb = list(form);
        const QRect second = lb->visualItemRect(lb->item(1));
        QTest::mouseClick(lb->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(lb->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x2));
        QVERIFY(!form.isVisible());
    }

    void cancelAndCloseBoxChooseNothing()
    {
        TargetSelectionDialog form;
        open(form, { { "Eins", 0x1 }, { "Zwei", 0x2 } });
        QTest::mouseClick(button(form, 0), Qt::LeftButton);
        QVERIFY(!form.chosenWindow());
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));

        TargetSelectionDialog closed;
        open(closed, { { "Eins", 0x1 }, { "Zwei", 0x2 } });
        closed.close();
        QVERIFY(!closed.chosenWindow());
        QCOMPARE(closed.result(), int(QDialog::Rejected));
    }

    void showsTheTextsCaptionAndBoldOkOnTopOfOtherWindows()
    {
        TargetSelectionDialog form;
        open(form, { { "Eins", 0x1 }, { "Zwei", 0x2 } });
        QCOMPARE(form.windowTitle(), QString("Auswahl - [Kalmotex]"));
        QCOMPARE(button(form, 0)->text(), QString("&Abbruch"));
        QCOMPARE(button(form, 1)->text(), QString("&OK"));
        QVERIFY(button(form, 1)->font().bold());
        QVERIFY(!button(form, 0)->font().bold());
        QCOMPARE(form.findChild<QLabel*>("Label1")->text(),
            QString("Es wurden mehrere Fenster gefunden, die als Ziel in Frage kommen. Bitte wählen Sie "
                    "aus der obigen Liste das entsprechende aus."));
        QVERIFY(form.findChild<QWidget*>("Shape1"));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(form.isModal());
    }

    void layoutFollowsTheLogicalDpi()
    {
        TargetSelectionDialog form;
        const double perTwip = form.logicalDpiX() / 1440.0;
        QCOMPARE(form.width(), qRound(5655 * perTwip));
        QCOMPARE(list(form)->geometry().left(), qRound(120 * perTwip));
        QCOMPARE(button(form, 1)->geometry().width(), qRound(1215 * perTwip));
    }
};

QTEST_MAIN(TargetSelectionDialogTest)
#include "TargetSelectionDialogTest.moc"
