#include "OptionsFixture.h"
#include "backends/fake/FakeGlobalHotkey.h"
#include "popup/qt/EdgeButton.h"
#include "popup/qt/ExtraOptionsDialog.h"
#include "popup/qt/HotkeyController.h"
#include "popup/qt/MonitorPicture.h"
#include "store/EntryStore.h"
#include "store/TimeSeededRandom.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QTest>

using kx::platform::KeyCombination;
using kx::test::OptionsFixture;

namespace {

QString edgeName(int i) { return QStringLiteral("PumActPosOpt_%1").arg(i); }

// Which of a group's buttons is checked, -1 when none.
template <typename Button> int checkedOf(OptionsFixture& f, const QString& prefix, int count)
{
    int checked = -1;
    for (int i = 0; i < count; ++i)
        if (f.find<Button>(prefix + QString::number(i))->isChecked())
            checked = checked == -1 ? i : -2;
    return checked;
}

QColor sampleColour(OptionsFixture& f)
{
    return f.find<QFrame>(QStringLiteral("ColBtnSample"))->palette().color(QPalette::Window);
}

// Where the strip lies on the primary screen, by the edge it runs along; "" when hidden.
QString stripEdge(OptionsFixture& f)
{
    const QWidget& strip = f.strip();
    if (!strip.isVisible())
        return QString();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect g = strip.geometry();
    if (g.height() == 1 && g.width() == screen.width())
        return g.top() == screen.top() ? QStringLiteral("top") : QStringLiteral("bottom");
    if (g.width() == 1 && g.height() == screen.height())
        return g.left() == screen.left() ? QStringLiteral("left") : QStringLiteral("right");
    return QStringLiteral("elsewhere");
}

// The controls of the strip show (and the ring round the notification area hides) only
// while the strip is on.
bool stripControlsShown(OptionsFixture& f, bool on)
{
    bool shown = f.find<QWidget>(QStringLiteral("ColBtn"))->isVisible() == on
        && f.find<QWidget>(QStringLiteral("ColBtnSample"))->isVisible() == on
        && f.find<QWidget>(QStringLiteral("RedCircle"))->isVisible() == !on;
    for (int i = 0; i < 4; ++i)
        shown = shown && f.find<QWidget>(edgeName(i))->isVisible() == on;
    for (int i = 0; i < 2; ++i)
        shown
            = shown && f.find<QWidget>(QStringLiteral("PumActBorderByClickOpt_%1").arg(i))->isEnabled() == on;
    return shown;
}

void click(QWidget* widget)
{
    QVERIFY(widget);
    QVERIFY(widget->isVisible() && widget->isEnabled());
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

const KeyCombination kCtrlAltV { kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "V" };

struct ExtraOptionsFixture : OptionsFixture
{
    using OptionsFixture::OptionsFixture;
    ~ExtraOptionsFixture() { QVERIFY2(prompts.wentAsScripted(), prompts.report().c_str()); }

    QWidget* control(const char* name) { return extra.findChild<QWidget*>(QString::fromLatin1(name)); }
    QKeySequenceEdit* keyEdit() { return extra.findChild<QKeySequenceEdit*>("HotkeyEdit"); }
    QCheckBox* box(const char* name) { return qobject_cast<QCheckBox*>(control(name)); }
    void click(const char* name) { ::click(control(name)); }
    // The user presses the combination somewhere on the desktop; true when the menu opened.
    bool pressOpensMenu(const KeyCombination& combination)
    {
        const int before = menusOpened;
        desktopHotkey.press(combination);
        QCoreApplication::processEvents();
        return menusOpened == before + 1;
    }

    kx::platform::FakeGlobalHotkey desktopHotkey;
    kx::store::TimeSeededRandom random;
    kx::store::EntryStore entries { config, random };
    kx::popup::HotkeyController hotkey {
        { config, desktopHotkey, prompts, [this] { ++menusOpened; }, {}, &entries }
    };
    kx::popup::ExtraOptionsDialog extra { { config,
        [this] { hotkey.suspend(); },
        [this](bool saved) { hotkey.apply(saved); },
        [this](const std::string& text) { return hotkey.acceptMenuHotkey(text); } } };
};

QString takenMessage(const char* combination)
{
    return QStringLiteral("Die Tastenkombination %1 wird schon von einem anderen Programm verwendet. Bitte "
                          "wählen Sie unter Extras → Weitere Optionen eine andere.")
        .arg(QString::fromUtf8(combination));
}

} // namespace

class OptionsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void valuesFromTheFileShowInTheControls_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("viaBorder");
        QTest::addColumn<int>("byClick");
        QTest::addColumn<int>("edge");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("singleInstance");
        QTest::addColumn<bool>("typeToFilter");
        QTest::addColumn<bool>("focusGuard");
        const QColor face = QApplication::palette().color(QPalette::Button);
        QTest::newRow("no section Common: the defaults")
            << "[Name]\n1=A\n"
            << true << 0 << 0 << 0 << face << "Ctrl+Alt+V" << true << false << true;
        QTest::newRow("every option set")
            << "[Common]\nSortNames=0\nPumActViaBorder=1\nPumActBorderByClick=1\nPumActPos=3\n"
               "PumActBorderCol=255\nHotkey=Meta+F12\nSingleInstance=0\nTypeToFilter=1\nFocusGuard=0\n"
            << false << 1 << 1 << 3 << QColor(255, 0, 0) << "Meta+F12" << false << true << false;
        QTest::newRow("a colour value that is none reads as the face colour, no hotkey")
            << "[Common]\nPumActViaBorder=1\nPumActBorderCol=1073741824\nHotkey=\n"
            << true << 1 << 0 << 0 << face << "" << true << false << true;
    }

    void valuesFromTheFileShowInTheControls()
    {
        QFETCH(QString, ini);
        QFETCH(int, viaBorder);
        QFETCH(int, edge);
        QFETCH(QColor, colour);
        ExtraOptionsFixture f(ini.toStdString());
        QVERIFY(f.open());

        QCOMPARE(f.dialog().windowTitle(), QStringLiteral("[Kalmotex] - Optionen"));
        QTEST(f.find<QCheckBox>(QStringLiteral("SortChk"))->isChecked(), "sorted");
        QCOMPARE(f.find<QCheckBox>(QStringLiteral("AutoStartChk"))->isChecked(), false);
        QCOMPARE(checkedOf<QRadioButton>(f, QStringLiteral("PumActOpt_"), 2), viaBorder);
        QTEST(checkedOf<QRadioButton>(f, QStringLiteral("PumActBorderByClickOpt_"), 2), "byClick");
        QCOMPARE(checkedOf<kx::popup::EdgeButton>(f, QStringLiteral("PumActPosOpt_"), 4), edge);
        QCOMPARE(sampleColour(f), colour);
        QCOMPARE(f.find<kx::popup::EdgeButton>(edgeName(0))->colour(), colour);

        const bool on = viaBorder == 1;
        QVERIFY(stripControlsShown(f, on));
        const char* edges[] = { "top", "bottom", "left", "right" };
        QCOMPARE(stripEdge(f), on ? QString::fromLatin1(edges[edge]) : QString());

        f.extra.openDialog();
        QVERIFY(f.extra.isVisible());
        QCOMPARE(f.extra.windowTitle(), QStringLiteral("[Kalmotex] - Weitere Optionen"));
        QTEST(f.keyEdit()->keySequence().toString(QKeySequence::PortableText), "keys");
        QTEST(f.box("SingleInstanceChk")->isChecked(), "singleInstance");
        QTEST(f.box("TypeToFilterChk")->isChecked(), "typeToFilter");
        QTEST(f.box("FocusGuardChk")->isChecked(), "focusGuard");
        QCOMPARE(QString::fromStdString(f.fileBytes()), ini);
    }

    void okWritesTheOptionsInOrderAndHides()
    {
        OptionsFixture f("[Name]\r\n1=A\r\n");
        QVERIFY(f.open(true));
        QCOMPARE(f.dialog().windowModality(), Qt::ApplicationModal);

        click(f.find<QRadioButton>(QStringLiteral("PumActOpt_1")));
        click(f.find<QRadioButton>(QStringLiteral("PumActBorderByClickOpt_1")));
        click(f.find<QWidget>(edgeName(2)));
        click(f.find<QCheckBox>(QStringLiteral("SortChk")));
        f.colourAnswers.push_back(QColor(255, 0, 0));
        click(f.find<QPushButton>(QStringLiteral("ColBtn")));
        // Nothing is written and the strip stays hidden before "&OK".
        QCOMPARE(f.fileBytes(), std::string("[Name]\r\n1=A\r\n"));
        QCOMPARE(stripEdge(f), QString());

        click(f.find<QPushButton>(QStringLiteral("Btn_1")));
        QCOMPARE(f.fileBytes(),
            std::string("[Name]\r\n1=A\r\n[Common]\r\nPumActViaBorder=1\r\nPumActBorderByClick=1\r\n"
                        "PumActPos=2\r\nPumActBorderCol=255\r\nSortNames=0\r\n"));
        QVERIFY(!f.dialog().isVisible());
        QCOMPARE(stripEdge(f), QStringLiteral("left"));
        QCOMPARE(f.strip().palette().color(QPalette::Window), QColor(255, 0, 0));
        f.controller->closeWindows();
        QCOMPARE(stripEdge(f), QString());
    }

    void closeBoxWritesNothingAndTheNextOpeningStartsAfresh()
    {
        const std::string ini = "[Common]\nSortNames=1\nPumActViaBorder=1\nPumActPos=0\n";
        OptionsFixture f(ini);
        QVERIFY(f.open());
        QCOMPARE(f.dialog().windowModality(), Qt::NonModal);
        // The menu command while it is open beside the main window makes it modal.
        f.controller->showOptionsDialog(true);
        QCOMPARE(QApplication::activeModalWidget(), &f.dialog());
        click(f.find<QCheckBox>(QStringLiteral("SortChk")));
        click(f.find<QWidget>(edgeName(3)));
        QTest::keyClick(&f.dialog(), Qt::Key_Escape); // no cancel button: stays open
        QVERIFY(f.dialog().isVisible());
        QVERIFY(f.dialog().close());
        QCOMPARE(f.fileBytes(), ini);
        QCOMPARE(stripEdge(f), QStringLiteral("top"));

        f.controller->showOptionsDialog(false);
        // The sort box reads the file again; the edge keeps the choice made in memory.
        QVERIFY(f.find<QCheckBox>(QStringLiteral("SortChk"))->isChecked());
        QVERIFY(f.find<kx::popup::EdgeButton>(edgeName(3))->isChecked());
        QCOMPARE(f.fileBytes(), ini);
    }

    void clickModeAndEdgeButtonsApplyToTheStripAndThePicture()
    {
        OptionsFixture f("[Common]\nPumActViaBorder=1\nPumActPos=0\n");
        QVERIFY(f.open());
        QVERIFY(QTest::qWaitForWindowExposed(&f.strip()));
        QTest::mouseMove(&f.strip(), QPoint(5, 0));
        QTRY_VERIFY(f.menusOpened > 0);
        QCoreApplication::processEvents();
        const int opened = f.menusOpened;
        click(f.find<QRadioButton>(QStringLiteral("PumActBorderByClickOpt_1")));
        // The pointer passing over the strip no longer opens the menu, without "&OK".
        QTest::mouseMove(&f.strip(), QPoint(9, 0));
        QTest::mouseMove(&f.strip(), QPoint(12, 0));
        QCoreApplication::processEvents();
        QCOMPARE(f.menusOpened, opened);

        auto* picture = f.find<kx::popup::MonitorPicture>(QStringLiteral("Image1"));
        QCOMPARE(picture->chosenEdge(), 0);
        const QImage atTop = picture->grab().toImage();

        click(f.find<QWidget>(edgeName(1)));
        QCOMPARE(checkedOf<kx::popup::EdgeButton>(f, QStringLiteral("PumActPosOpt_"), 4), 1);
        QCOMPARE(picture->chosenEdge(), 1);
        QVERIFY(picture->grab().toImage() != atTop);
        // The strip moves only with "&OK".
        QCOMPARE(stripEdge(f), QStringLiteral("top"));

        // Icon only.
        click(f.find<QRadioButton>(QStringLiteral("PumActOpt_0")));
        QCOMPARE(picture->chosenEdge(), -1);
        QVERIFY(stripControlsShown(f, false));
        click(f.find<QRadioButton>(QStringLiteral("PumActOpt_1")));
        QCOMPARE(picture->chosenEdge(), 1);
        QVERIFY(stripControlsShown(f, true));

        click(f.find<QPushButton>(QStringLiteral("Btn_1")));
        QCOMPARE(stripEdge(f), QStringLiteral("bottom"));
    }

    void colourChoiceShowsAtOnceAndRemembersTheLastChoice()
    {
        OptionsFixture f("[Common]\nPumActViaBorder=1\nPumActBorderCol=16711680\n");
        QVERIFY(f.open());
        QCOMPARE(sampleColour(f), QColor(0, 0, 255));
        auto* button = f.find<QPushButton>(QStringLiteral("ColBtn"));

        f.colourAnswers.push_back(std::nullopt); // cancelled
        click(button);
        QCOMPARE(sampleColour(f), QColor(0, 0, 255));
        f.colourAnswers.push_back(QColor(0, 128, 0));
        click(button);
        QCOMPARE(sampleColour(f), QColor(0, 128, 0));
        QCOMPARE(f.find<kx::popup::EdgeButton>(edgeName(2))->colour(), QColor(0, 128, 0));
        QCOMPARE(f.strip().palette().color(QPalette::Window), QColor(0, 128, 0));
        f.colourAnswers.push_back(std::nullopt);
        click(button);
        // The colour dialog starts black, then with the colour last chosen in it, not with
        // the border's colour.
        QCOMPARE(f.colourDialogStarts,
            (std::vector<QColor> { QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 128, 0) }));
        QVERIFY(f.fileBytes().find("PumActBorderCol=16711680") != std::string::npos);
        click(f.find<QPushButton>(QStringLiteral("Btn_1")));
        QVERIFY(f.fileBytes().find("PumActBorderCol=32768") != std::string::npos);
    }

    void captionsAreGermanWithUniqueAccessKeys()
    {
        ExtraOptionsFixture f("");
        QStringList captions;
        for (const QLabel* label : f.extra.findChildren<QLabel*>())
            captions << label->text();
        for (const QAbstractButton* button : f.extra.findChildren<QAbstractButton*>())
            captions << button->text();
        captions.sort();
        QCOMPARE(captions,
            QStringList({ QStringLiteral("&Abbrechen"),
                QStringLiteral("&Keines"),
                QStringLiteral("&Nur ein Programm gleichzeitig (ein zweiter Start zeigt das laufende)"),
                QStringLiteral("&OK"),
                QStringLiteral("&Tastenkürzel für das Menü:"),
                QStringLiteral("Tippen &filtert das Menü und die Fensterauswahl"),
                QStringLiteral("Übertragung &stoppen, wenn das Zielfenster den Fokus verliert") }));
        QSet<QChar> keys;
        for (const QString& caption : captions) {
            const QChar key = caption.at(caption.indexOf(u'&') + 1).toLower();
            QVERIFY2(!keys.contains(key), qPrintable(caption));
            keys.insert(key);
        }
    }

    void okWritesTheOptionsAndGrabsTheNewHotkey()
    {
        ExtraOptionsFixture f("[Common]\r\nSortNames=1\r\n[Name]\r\n1=A\r\n");
        f.extra.openDialog();
        f.keyEdit()->setFocus();
        f.keyEdit()->clear();
        QTest::keyClick(f.keyEdit(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
        f.click("SingleInstanceChk");
        f.click("TypeToFilterChk");
        f.click("OkBtn");
        QVERIFY(!f.extra.isVisible());
        QCOMPARE(f.fileBytes(),
            std::string(
                "[Common]\r\nSortNames=1\r\nHotkey=Ctrl+Shift+F5\r\nSingleInstance=0\r\nTypeToFilter=1\r\n"
                "FocusGuard=1\r\n[Name]\r\n1=A\r\n"));
        // The new combination is the one that opens the menu now (no other test sees the old
        // one keep working).
        QVERIFY(f.pressOpensMenu({ kx::platform::HotkeyCtrl | kx::platform::HotkeyShift, "F5" }));
        QVERIFY(!f.pressOpensMenu(kCtrlAltV));
    }

    void cancelAndCloseBoxWriteNothing()
    {
        const std::string ini = "[Common]\r\nHotkey=Ctrl+Alt+V\r\n";
        ExtraOptionsFixture f(ini);
        f.hotkey.apply();
        for (const char* how : { "cancel", "close box", "Escape" }) {
            f.extra.openDialog();
            // The combination is free while the dialog records one.
            QVERIFY2(!f.pressOpensMenu(kCtrlAltV), how);
            f.click("HotkeyClearBtn");
            f.click("FocusGuardChk");
            if (QByteArray(how) == "cancel")
                f.click("CancelBtn");
            else if (QByteArray(how) == "close box")
                QVERIFY(f.extra.close());
            else
                QTest::keyClick(f.box("FocusGuardChk"), Qt::Key_Escape);
            QVERIFY2(!f.extra.isVisible(), how);
            QCOMPARE(f.fileBytes(), ini);
            QVERIFY2(f.pressOpensMenu(kCtrlAltV), how);
        }
    }

    void aCombinationHeldElsewhereIsReportedInGerman()
    {
        ExtraOptionsFixture f("[Name]\r\n1=Gruß\r\n[Hotkey]\r\n1=Ctrl+Alt+1\r\n");
        f.desktopHotkey.takeByOtherProgram(kCtrlAltV);
        f.prompts.answerMessage(takenMessage("Strg+Alt+V").toStdString());
        f.hotkey.apply();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        QCOMPARE(int(f.prompts.shown().at(0).icon), int(kx::platform::PromptIcon::Warning));

        // Cancelling the dialog does not ask again; "&OK" with the same combination tells
        // again; with a free one the hotkey works.
        f.extra.openDialog();
        f.click("CancelBtn");
        QCOMPARE(f.prompts.shown().size(), std::size_t(1));
        f.prompts.answerMessage(takenMessage("Strg+Alt+V").toStdString());
        f.extra.openDialog();
        f.click("OkBtn");
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        f.extra.openDialog();
        f.keyEdit()->clear();
        QTest::keyClick(f.keyEdit(), Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
        f.click("OkBtn");
        QVERIFY(f.pressOpensMenu({ kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "Space" }));

        // An entry's combination is refused naming it; the stored one stays.
        const std::string file = f.fileBytes();
        f.prompts.answerMessage(
            "Die Tastenkombination Strg+Alt+1 ist schon dem Textbaustein »Gruß« zugeordnet.");
        f.extra.openDialog();
        f.keyEdit()->clear();
        QTest::keyClick(f.keyEdit(), Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        f.click("OkBtn");
        QCOMPARE(f.fileBytes(), file);
    }

    void storedCombinationsThatCannotBeHeldAreReported_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("message");
        const QString choose
            = QStringLiteral(" Bitte wählen Sie unter Extras → Weitere Optionen eine andere.");
        QTest::newRow("unknown key")
            << "[Common]\r\nHotkey=Ctrl+Alt+Foo\r\n"
            << "Die Tastenkombination „Ctrl+Alt+Foo“ ist ungültig: unbekannte Taste „Foo“." + choose;
        QTest::newRow("missing key")
            << "[Common]\r\nHotkey=Ctrl+Alt+F13\r\n"
            << "Die Tastenkombination Strg+Alt+F13 gibt es auf dieser Tastatur nicht." + choose;
        QTest::newRow("entries' combinations, in one message")
            << "[Common]\r\nHotkey=\r\n[Name]\r\n1=A\r\n2=B\r\n[Hotkey]\r\n1=Ctrl+Alt+1\r\n2=Ctrl+Alt+F13\r\n"
            << "Die Tastenkombination Strg+Alt+1 für den Textbaustein »A« wird schon von einem "
               "anderen Programm verwendet.\nDie Tastenkombination Strg+Alt+F13 für den "
               "Textbaustein »B« gibt es auf dieser Tastatur nicht.";
    }

    void storedCombinationsThatCannotBeHeldAreReported()
    {
        QFETCH(QString, ini);
        QFETCH(QString, message);
        ExtraOptionsFixture f(ini.toStdString());
        f.desktopHotkey.removeKey("F13");
        f.desktopHotkey.takeByOtherProgram({ kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "1" });
        f.prompts.answerMessage(message.toStdString());
        f.hotkey.apply();
        QVERIFY(!f.desktopHotkey.holdsAny());
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
