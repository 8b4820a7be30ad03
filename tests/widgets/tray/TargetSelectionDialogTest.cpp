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

    // The titles the list shows, in order.
    static QStringList shownTitles(TargetSelectionDialog& form)
    {
        QStringList titles;
        for (int row = 0; row < list(form)->count(); ++row) {
            if (!list(form)->item(row)->isHidden())
                titles << list(form)->item(row)->text();
        }
        return titles;
    }

private slots:
    // Without type-to-filter, a letter moves the selection to the next title it starts.
    void listsTitlesSortedWithoutCaseAndOkChoosesTheSelectedWindow()
    {
        TargetSelectionDialog form;
        open(form, { { "Zeta - Editor", 0x30 }, { "alpha - Editor", 0x10 }, { "Beta - Editor", 0x20 } });
        QCOMPARE(shownTitles(form), QStringList({ "alpha - Editor", "Beta - Editor", "Zeta - Editor" }));
        QCOMPARE(list(form)->currentRow(), 0);
        QTest::keyClicks(list(form), "b");
        QCOMPARE(shownTitles(form).size(), 3);
        QTest::mouseClick(button(form, 1), Qt::LeftButton);
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x20));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    // Equal titles each stand for their own window.
    void doubleClickChoosesAtOnceTheCloseBoxNothingAndTheTextsAsDesigned()
    {
        TargetSelectionDialog form;
        open(form, { { "xterm", 0x1 }, { "xterm", 0x2 } });
        QListWidget* lb = list(form);
        const QRect second = lb->visualItemRect(lb->item(1));
        QTest::mouseClick(lb->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(lb->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x2));
        QVERIFY(!form.isVisible());

        TargetSelectionDialog closed;
        open(closed, { { "Eins", 0x1 }, { "Zwei", 0x2 } });
        QCOMPARE(closed.windowTitle(), QString("Auswahl - [Kalmotex]"));
        QCOMPARE(button(closed, 0)->text(), QString("&Abbruch"));
        QCOMPARE(button(closed, 1)->text(), QString("&OK"));
        QVERIFY(button(closed, 1)->font().bold());
        QVERIFY(!button(closed, 0)->font().bold());
        QCOMPARE(closed.findChild<QLabel*>("Label1")->text(),
            QString("Es wurden mehrere Fenster gefunden, die als Ziel in Frage kommen. Bitte wählen Sie "
                    "aus der obigen Liste das entsprechende aus."));
        QVERIFY(closed.findChild<QWidget*>("Shape1"));
        QVERIFY(closed.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(closed.isModal());
        closed.close();
        QVERIFY(!closed.chosenWindow());
        QCOMPARE(closed.result(), int(QDialog::Rejected));
    }

    void typingNarrowsTheTitlesAndEnterSendsToTheFirstMatch()
    {
        TargetSelectionDialog form;
        form.setTypeToFilter(true);
        open(form,
            { { "Übersicht - Editor", 0x10 },
                { "Brief an Müller - Editor", 0x20 },
                { "ubuntu - Editor", 0x30 },
                { "Notizen - Editor", 0x40 } });
        QTest::keyClicks(list(form), "UB");
        QCOMPARE(shownTitles(form), QStringList({ "Übersicht - Editor", "ubuntu - Editor" }));
        QCOMPARE(list(form)->currentItem()->text(), QString("Übersicht - Editor"));
        auto* filterLine = form.findChild<QLabel*>("lblFilter");
        QVERIFY(filterLine && filterLine->isVisible());
        QCOMPARE(filterLine->text(), QString("Filter: UB"));
        // Nothing matches: "&OK" sends nothing, Backspace and Escape take the filter back.
        QTest::keyClicks(list(form), "x");
        QCOMPARE(shownTitles(form), QStringList({ "(keine Treffer)" }));
        QTest::mouseClick(button(form, 1), Qt::LeftButton);
        QVERIFY(form.isVisible());
        QVERIFY(!form.chosenWindow());
        QTest::keyClick(list(form), Qt::Key_Backspace);
        QCOMPARE(shownTitles(form).size(), 2);
        QTest::keyClick(list(form), Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QCOMPARE(shownTitles(form).size(), 4);
        QVERIFY(!filterLine->isVisible());
        QTest::keyClicks(list(form), "ubu");
        QCOMPARE(shownTitles(form), QStringList({ "ubuntu - Editor" }));
        QTest::keyClick(list(form), Qt::Key_Return);
        QCOMPARE(form.chosenWindow(), std::optional<WindowHandle>(0x30));
        QVERIFY(!form.isVisible());

        // Without a filter, Escape closes the dialog and chooses nothing.
        TargetSelectionDialog escaped;
        escaped.setTypeToFilter(true);
        open(escaped, { { "Eins", 0x1 } });
        QTest::keyClick(list(escaped), Qt::Key_Escape);
        QVERIFY(!escaped.isVisible() && !escaped.chosenWindow());
    }
};

QTEST_MAIN(TargetSelectionDialogTest)
#include "TargetSelectionDialogTest.moc"
