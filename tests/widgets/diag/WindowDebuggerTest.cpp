#include "diag/qt/WindowDebugger.h"
#include "diag/qt/WindowListMonitor.h"

#include "diag/DebuggerCommands.h"
#include "diag/qt/DesktopTextEditor.h"
#include "support/SendStack.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <clocale>
#include <filesystem>

using namespace kx;

namespace {

QStringList linesOf(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

class RecordingEditor : public diag::TextEditorLauncher
{
public:
    bool openInEditor(const std::string& file) override
    {
        opened.push_back(file);
        return true;
    }
    std::vector<std::string> opened;
};

struct Rig : test::SendStack
{
    Rig()
        : SendStack("[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n")
    {
        ignored.readFromFile();
        main = desktop.openWindow("[Kalmotex]");
        desktop.withdraw(main);
    }

    QListWidget* list() const { return debugger.findChild<QListWidget*>("TitelListe"); }
    QPushButton* button(int index) const
    {
        return debugger.findChild<QPushButton*>(QString("Btn_%1").arg(index));
    }
    QStringList shownLines() const { return linesOf(list()); }
    void mark(int row) const { list()->setCurrentRow(row); }

    RecordingEditor editor;
    diag::WindowDebugger debugger {
        { lines, ignored, prompts, editor, desktop, file, transmitter.sendLog() }
    };
};

struct MonitorRig
{
    MonitorRig()
    {
        desktop.openWindow("Below");
        main = desktop.openWindow("[Kalmotex]");
        desktop.openWindow("Minimised", false);
        desktop.openWindow("Editor");
    }

    QListWidget* list() const { return monitor.findChild<QListWidget*>("WList"); }
    QCheckBox* visibleOnly() const { return monitor.findChild<QCheckBox*>("VisChk"); }
    QPushButton* exit() const { return monitor.findChild<QPushButton*>("Command1"); }
    QStringList shownLines() const { return linesOf(list()); }

    platform::FakeDesktop desktop;
    platform::WindowHandle main = 0;
    transmit::FixedClock clock { 2024, 2, 29, 8, 5, 0 };
    diag::WindowListMonitor monitor { desktop, clock, [this] { return main; }, desktop };
};

const QString now = "02/29/24 08:05:00";

} // namespace

class WindowDebuggerTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(setlocale(LC_TIME, "C")); }

    void showsTheLastSearchWithTheChosenWindowLastAndFollowsEachNewSearch()
    {
        Rig rig;
        rig.desktop.openWindow("Editor");
        rig.desktop.openWindow("Werkzeugleiste");
        rig.transmitter.findLastUsedWindow();
        rig.debugger.open();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.debugger));
        const QString header = "--- 08:05:00 --------------------------------------------";
        QCOMPARE(rig.shownLines(), (QStringList { header, "Editor", "Werkzeugleiste" }));

        rig.desktop.openWindow("Rechner");
        rig.transmitter.findLastUsedWindow();
        QCOMPARE(rig.shownLines(), (QStringList { header, "Editor", "Werkzeugleiste", "Rechner" }));
        QVERIFY(rig.prompts.shown().empty());
        QVERIFY(QTest::qWaitForWindowActive(&rig.debugger));
        rig.list()->setFocus();
        rig.mark(1);
        QTest::keyClick(rig.list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(rig.desktop.clipboardText(), std::string("Editor"));

        // Closing discards the list until the next search; one while it is closed is there
        // when it opens.
        QTest::mouseClick(rig.button(2), Qt::LeftButton);
        QVERIFY(!rig.debugger.isVisible());
        rig.debugger.open();
        QCOMPARE(rig.list()->count(), 0);
        rig.debugger.close();
        rig.transmitter.findLastUsedWindow();
        rig.debugger.open();
        QCOMPARE(rig.shownLines(), (QStringList { header, "Editor", "Werkzeugleiste", "Rechner" }));
    }

    void listsTheLastSendsNewestFirstWithoutTheirTexts()
    {
        Rig rig;
        rig.dir.write("Kalmotex.ini",
            "[Name]\r\n1=Gruß\r\n2=Niemand\r\n[Text]\r\n1=Geheimnis\r\n2=x\r\n[Title]\r\n2=Gibt es "
            "nicht\r\n");
        rig.desktop.openWindow("Editor");
        rig.debugger.open();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.debugger));
        QTreeWidget* log = rig.debugger.findChild<QTreeWidget*>("SendLogList");
        QVERIFY(log);
        QCOMPARE(log->topLevelItemCount(), 0);
        const QLabel* activation = rig.debugger.findChild<QLabel*>("ActivationLine");
        QVERIFY(activation);
        QCOMPARE(activation->text(), QString("Aktivierung: -"));
        const auto row = [](const QTreeWidgetItem* item) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << item->text(c);
            return cells.join(" | ");
        };
        QCOMPARE(row(log->headerItem()), QString("Zeit | Eintrag | Zielfenster | Zeichen | Ergebnis"));

        rig.prompts.answerMessage(
            "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.");
        rig.transmitter.sendEntry(2);
        rig.transmitter.sendEntry(1);

        // The window follows each send while it is open.
        QStringList rows;
        for (int i = 0; i < log->topLevelItemCount(); ++i)
            rows << row(log->topLevelItem(i));
        QCOMPARE(rows,
            (QStringList { "08:05:00 | Gruß | Editor | 9 | vollständig",
                "08:05:00 | Niemand |  | 0 | kein Zielfenster" }));
        QCOMPARE(activation->text(), QString("Aktivierung: fake activation, bestätigt durch focus"));

        rig.debugger.close();
        rig.debugger.open();
        QCOMPARE(log->topLevelItemCount(), 2);
    }

    void captionsButtonsAndLayoutAsDesigned()
    {
        Rig rig;
        rig.debugger.open();
        QCOMPARE(rig.debugger.windowTitle(), QString("[Kalmotex] - Debugger"));
        QCOMPARE(rig.button(0)->text(), QString("&Markierten Titel in Zukunft ignorieren"));
        QCOMPARE(rig.button(1)->text(), QString("&Konfigurationsdatei manuell bearbeiten"));
        QCOMPARE(rig.button(2)->text(), QString("&Dieses Fenster schließen"));
        auto* tip = rig.debugger.findChild<QLabel*>("Label1");
        QCOMPARE(tip->text(),
            QString("Tipp: Das störende Fenster steht in der Regel immer am Ende dieser Liste ..."));
        QVERIFY(tip->font().bold());
        QVERIFY(QTest::qWaitForWindowActive(&rig.debugger));
        rig.list()->setFocus();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(rig.button(i)));
        }
        // At least the designed client size.
        const double perTwip = rig.debugger.logicalDpiX() / 1440.0;
        QVERIFY(rig.debugger.width() >= qRound(4440 * perTwip));
        QVERIFY(rig.debugger.height() >= qRound(5535 * perTwip));
        QTest::mouseClick(rig.button(1), Qt::LeftButton);
        QCOMPARE(rig.editor.opened, std::vector<std::string> { rig.file });
    }

    // Run once at scale 1 and once at scale 2 (WindowDebuggerTest_scale2).
    void fitsTheScreenWithEveryCaptionAndColumnWhole()
    {
        Rig rig;
        for (const transmit::SendOutcome outcome : { transmit::SendOutcome::Complete,
                 transmit::SendOutcome::FocusLost,
                 transmit::SendOutcome::NoTarget,
                 transmit::SendOutcome::Busy,
                 transmit::SendOutcome::SelectionCancelled,
                 transmit::SendOutcome::TypingFailed })
            rig.transmitter.sendLog().add({ {}, "Adresse", "Editor", 120, 1234, outcome, {} });
        rig.debugger.open();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.debugger));

        // Room for a title bar and a panel on a 1366x768 screen, or 1920x1080 at scale 2.
        const qreal scale = rig.debugger.devicePixelRatioF();
        const QSize screen = scale >= 2 ? QSize(1920, 1080) : QSize(1366, 768);
        const QSize onScreen = (rig.debugger.size() + QSize(0, 64)) * scale;
        QCOMPARE(onScreen.boundedTo(screen), onScreen);

        QStringList cut;
        for (const QPushButton* button : rig.debugger.findChildren<QPushButton*>())
            if (button->width() < button->sizeHint().width())
                cut << button->text();
        for (const QLabel* label : rig.debugger.findChildren<QLabel*>())
            if (label->height() < label->heightForWidth(label->width())
                || (!label->wordWrap() && label->width() < label->sizeHint().width()))
                cut << label->text();
        QTreeWidget* log = rig.debugger.sendLogList();
        const QAbstractItemView* cells = log;
        const QHeaderView* header = log->header();
        for (int column = 0; column < header->count(); ++column) {
            const int needed = std::max(cells->sizeHintForColumn(column), header->sectionSizeHint(column));
            if (header->sectionSize(column) < needed)
                cut << QString("column %1: %2 of %3 pixels")
                           .arg(log->headerItem()->text(column))
                           .arg(header->sectionSize(column))
                           .arg(needed);
        }
        if (header->length() > log->viewport()->width())
            cut << QString("columns %1 pixels wide, view %2")
                       .arg(header->length())
                       .arg(log->viewport()->width());
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
    }

    void desktopEditorRunsTheUsersEditorInATerminal()
    {
        // A stand-in terminal on PATH writes down how it was called.
        test::TempDir bin;
        const std::filesystem::path record = bin.file("called");
        const std::filesystem::path terminal = bin.write("x-terminal-emulator",
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done >\"" + record.string() + ".tmp\"\nmv \""
                + record.string() + ".tmp\" \"" + record.string() + "\"\n");
        std::filesystem::permissions(terminal, std::filesystem::perms::owner_all);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(bin.path().string()) + ":" + oldPath);
        qputenv("VISUAL", "myeditor -w");

        diag::DesktopTextEditor editor;
        const bool started = editor.openInEditor("/tmp/a b/Kalmotex.ini");
        qputenv("PATH", oldPath);
        qunsetenv("VISUAL");
        QVERIFY(started);
        QTRY_VERIFY(std::filesystem::exists(record));
        QCOMPARE(test::readBytes(record),
            std::string("-e|sh|-c|myeditor -w \"$1\"|sh|/tmp/a b/Kalmotex.ini|"));
    }

    void monitorAsDesignedShowsHiddenWindowsFromTheNextTickAndStartsAfreshWhenReopened()
    {
        MonitorRig rig;
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

        // "Exit" closes it; opened again, it starts afresh: empty, then the visible windows
        // from the main window up at the first tick.
        QTest::mouseClick(rig.exit(), Qt::LeftButton);
        QVERIFY(!rig.monitor.isVisible());
        rig.monitor.open();
        QVERIFY(rig.visibleOnly()->isChecked());
        QCOMPARE(rig.list()->count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.list()->count(), 3, 5000);
        QCOMPARE(rig.shownLines(),
            (QStringList { now, "001 00000101 V '[Kalmotex]'", "002 00000103 V 'Editor'" }));
    }
};

QTEST_MAIN(WindowDebuggerTest)
#include "WindowDebuggerTest.moc"
