// The dialog "Weitere Optionen" and the hotkey it sets, as the user meets them: what the
// configuration file makes the dialog show, the exact bytes "&OK" writes, nothing written
// on cancel; the hotkey grabbed from the file, the menu it opens, and the German message
// when another program holds the combination.

#include "backends/fake/FakeGlobalHotkey.h"
#include "config/ConfigAccess.h"
#include "popup/qt/ExtraOptionsDialog.h"
#include "popup/qt/HotkeyController.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <memory>

using kx::platform::KeyCombination;

namespace {

const KeyCombination kCtrlAltV { kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "V" };

// The program's pieces around one configuration file: the dialog, the hotkey on a fake
// desktop, the prompts answered by script, the menu counted.
struct Fixture
{
    explicit Fixture(const std::string& ini)
    {
        dir.write("Kalmotex.ini", ini);
        hotkey = std::make_unique<kx::popup::HotkeyController>(
            kx::popup::HotkeyController::Borrowed { config, path(), desktopHotkey, prompts, [this] {
                                                       ++menusOpened;
                                                   } });
        dialog = std::make_unique<kx::popup::ExtraOptionsDialog>(
            kx::popup::ExtraOptionsDialog::Services { config,
                path(),
                [this] { hotkey->suspend(); },
                [this](bool saved) { hotkey->apply(saved); } });
    }

    std::string path() const { return dir.file("Kalmotex.ini").string(); }
    std::string fileBytes() const { return kx::test::readBytes(dir.file("Kalmotex.ini")); }
    template <typename T> T* find(const char* name)
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QKeySequenceEdit* keyEdit() { return find<QKeySequenceEdit>("HotkeyEdit"); }
    QCheckBox* box(const char* name) { return find<QCheckBox>(name); }
    void click(const char* name)
    {
        auto* button = find<QAbstractButton>(name);
        QVERIFY(button && button->isVisible() && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The user presses the combination somewhere on the desktop; true when the menu opened.
    bool pressOpensMenu(const KeyCombination& combination)
    {
        const int before = menusOpened;
        desktopHotkey.press(combination);
        QCoreApplication::processEvents();
        return menusOpened == before + 1;
    }

    kx::test::TempDir dir;
    kx::config::ConfigAccess config;
    kx::platform::FakeGlobalHotkey desktopHotkey;
    kx::test::ScriptedPrompts prompts;
    int menusOpened = 0;
    std::unique_ptr<kx::popup::HotkeyController> hotkey;
    std::unique_ptr<kx::popup::ExtraOptionsDialog> dialog;
};

QString takenMessage(const char* combination)
{
    return QStringLiteral("Die Tastenkombination %1 wird schon von einem anderen Programm verwendet. Bitte "
                          "wählen Sie unter Extras → Weitere Optionen eine andere.")
        .arg(QString::fromUtf8(combination));
}

} // namespace

class ExtraOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogShowsTheOptionsOfTheFile_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("singleInstance");
        QTest::addColumn<bool>("typeToFilter");
        QTest::addColumn<bool>("focusGuard");
        QTest::newRow("no section Common: the defaults") << "[Name]\r\n"
                                                         << "Ctrl+Alt+V" << true << false << true;
        QTest::newRow("every option set")
            << "[Common]\r\nHotkey=Meta+F12\r\nSingleInstance=0\r\nTypeToFilter=1\r\nFocusGuard=0\r\n"
            << "Meta+F12" << false << true << false;
        QTest::newRow("no hotkey") << "[Common]\r\nHotkey=\r\n"
                                   << "" << true << false << true;
    }

    void dialogShowsTheOptionsOfTheFile()
    {
        QFETCH(QString, ini);
        Fixture f(ini.toStdString());
        f.dialog->openDialog();
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialog->windowTitle(), QStringLiteral("[Kalmotex] - Weitere Optionen"));
        QTEST(f.keyEdit()->keySequence().toString(QKeySequence::PortableText), "keys");
        QTEST(f.box("SingleInstanceChk")->isChecked(), "singleInstance");
        QTEST(f.box("TypeToFilterChk")->isChecked(), "typeToFilter");
        QTEST(f.box("FocusGuardChk")->isChecked(), "focusGuard");
    }

    void captionsAreGermanWithUniqueAccessKeys()
    {
        Fixture f("");
        QStringList captions;
        for (const QLabel* label : f.dialog->findChildren<QLabel*>())
            captions << label->text();
        for (const QAbstractButton* button : f.dialog->findChildren<QAbstractButton*>())
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

    void okWritesTheOptionsToTheFile()
    {
        Fixture f("[Common]\r\nSortNames=1\r\n[Name]\r\n1=A\r\n");
        f.dialog->openDialog();
        f.keyEdit()->setFocus();
        f.keyEdit()->clear();
        QTest::keyClick(f.keyEdit(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
        f.click("SingleInstanceChk");
        f.click("TypeToFilterChk");
        f.click("OkBtn");
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.fileBytes(),
            std::string(
                "[Common]\r\nSortNames=1\r\nHotkey=Ctrl+Shift+F5\r\nSingleInstance=0\r\nTypeToFilter=1\r\n"
                "FocusGuard=1\r\n[Name]\r\n1=A\r\n"));
        // The new combination is the one that opens the menu now.
        QVERIFY(f.pressOpensMenu({ kx::platform::HotkeyCtrl | kx::platform::HotkeyShift, "F5" }));
        QVERIFY(!f.pressOpensMenu(kCtrlAltV));
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
    }

    void cancelAndCloseBoxWriteNothing()
    {
        const std::string ini = "[Common]\r\nHotkey=Ctrl+Alt+V\r\n";
        Fixture f(ini);
        f.hotkey->apply();
        for (const char* how : { "cancel", "close box", "Escape" }) {
            f.dialog->openDialog();
            // The combination is free while the dialog records one.
            QVERIFY2(!f.pressOpensMenu(kCtrlAltV), how);
            f.click("HotkeyClearBtn");
            f.click("FocusGuardChk");
            if (QByteArray(how) == "cancel")
                f.click("CancelBtn");
            else if (QByteArray(how) == "close box")
                QVERIFY(f.dialog->close());
            else
                QTest::keyClick(f.box("FocusGuardChk"), Qt::Key_Escape);
            QVERIFY2(!f.dialog->isVisible(), how);
            QCOMPARE(f.fileBytes(), ini);
            // The combination the file names works again.
            QVERIFY2(f.pressOpensMenu(kCtrlAltV), how);
        }
    }

    void aCombinationHeldElsewhereIsReportedInGerman()
    {
        Fixture f("");
        f.desktopHotkey.takeByOtherProgram(kCtrlAltV);
        f.prompts.answerMessage(takenMessage("Strg+Alt+V").toStdString());
        f.hotkey->apply();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        QCOMPARE(int(f.prompts.shown().at(0).icon), int(kx::platform::PromptIcon::Warning));
        QVERIFY(!f.pressOpensMenu(kCtrlAltV));

        // Cancelling the dialog does not ask again; "&OK" with the same combination tells
        // again; with a free one the hotkey works.
        f.dialog->openDialog();
        f.click("CancelBtn");
        QCOMPARE(f.prompts.shown().size(), std::size_t(1));
        f.prompts.answerMessage(takenMessage("Strg+Alt+V").toStdString());
        f.dialog->openDialog();
        f.click("OkBtn");
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        f.dialog->openDialog();
        f.keyEdit()->clear();
        QTest::keyClick(f.keyEdit(), Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
        f.click("OkBtn");
        QVERIFY(f.pressOpensMenu({ kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "Space" }));
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
    }

    void storedTextsThatNameNoKeyAreReported_data()
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
    }

    void storedTextsThatNameNoKeyAreReported()
    {
        QFETCH(QString, ini);
        QFETCH(QString, message);
        Fixture f(ini.toStdString());
        f.desktopHotkey.removeKey("F13");
        f.prompts.answerMessage(message.toStdString());
        f.hotkey->apply();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        QVERIFY(!f.desktopHotkey.held());
    }
};

QTEST_MAIN(ExtraOptionsTest)
#include "ExtraOptionsTest.moc"
