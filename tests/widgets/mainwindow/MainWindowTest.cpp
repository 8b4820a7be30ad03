#include "MainWindowFixture.h"

#include "app/qt/StartFolder.h"
#include "backends/fake/FakeGlobalHotkey.h"
#include "popup/qt/HotkeyController.h"
#include "transmit/Clock.h"
#include "transmit/Transmitter.h"
#include "ui/EditorText.h"
#include "ui/SnippetEditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kx;
using kx::platform::PromptAnswer;
using kx::test::MainWindowFixture;
using kx::ui::SnippetEditor;

namespace {

const QString A_CR_B_TAB_C = QString::fromUtf8("AÃ\r\nBð\r\nC");

int pixelsOfColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

// Types characters the keymap may not have, as an input method delivers them.
void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Puts the current folder back however the test ends.
struct CurrentFolderGuard
{
    ~CurrentFolderGuard() { fs::current_path(saved); }
    fs::path saved = fs::current_path();
};

const char* const ownWithTeam = "[Common]\r\nTeamFile=team.ini\r\n[Name]\r\n1=Eigen\r\n";

void runCli(const std::string& teamFile, const QStringList& command)
{
    QProcess cli;
    cli.start(KX_PROGRAM_DIR "/kalmotex-cli",
        QStringList { "--config", QString::fromStdString(teamFile) } + command);
    QVERIFY(cli.waitForFinished());
    QCOMPARE(cli.exitCode(), 0);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    static void activate(kx::ui::MainWindow& form)
    {
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

private slots:
    void sampleIsNotCopiedOverAnExistingConfiguration()
    {
        MainWindowFixture existing("[Name]\r\n1=Eigenes\r\n");
        existing.dir.write("sample.ini", "[Name]\r\n1=Aus der Probe\r\n");
        existing.start();
        QCOMPARE(existing.listNames(), QStringList { "Eigenes" });
    }

    void withoutAnyFileTheListIsEmptyAndTheIgnoreDefaultsAreWritten()
    {
        MainWindowFixture f({}, false);
        kx::ui::MainWindow& form = f.start();
        QCOMPARE(form.entryList()->count(), 0);
        QCOMPARE(f.value("Ignore", "1"), std::string("DFÜ-Netzwerkmonitor"));
        QVERIFY(!form.editor()->isEnabled());
        QVERIFY(!form.entryList()->isEnabled());
        QVERIFY(form.editor()->toPlainText().isEmpty());
        for (const char* disabled : { "Btn_1", "Btn_2" })
            QVERIFY2(!f.find<QPushButton>(disabled)->isEnabled(), disabled);
        for (const char* disabled : { "meTexte_2", "meTexte_3", "meBearbeiten_6" })
            QVERIFY2(!f.find<QAction>(disabled)->isEnabled(), disabled);
        QVERIFY(f.find<QPushButton>("Btn_8")->isEnabled());
        QVERIFY(f.find<QAction>("meTexte_1")->isEnabled());
    }

    void aFailedSampleCopyIsReportedAndTheProgramGoesOn()
    {
        MainWindowFixture f({}, false);
        f.dir.write("sample.ini", "[Name]\r\n1=x\r\n");
        f.dir.write("notafolder", "");
        f.configFilePath = f.dir.file("notafolder").string() + "/Kalmotex.ini";
        f.prompts.answerMessage(
            "Die Datei 'sample.ini' konnte nicht nach '" + f.configFilePath + "' kopiert werden.");
        f.start();
        QCOMPARE(f.prompts.shown().at(0).icon, kx::platform::PromptIcon::Information);
        QCOMPARE(f.form->entryList()->count(), 0);
    }

    void teamEntriesAreEditedWhileAnotherProgramAddsSome()
    {
        MainWindowFixture f(ownWithTeam);
        const std::string team = f.dir.file("team.ini").string();
        f.dir.write("team.ini", "[Name]\r\n1=Zoll\r\n");
        kx::ui::MainWindow& form = f.start();
        form.libraryTabs()->setCurrentIndex(1);
        QCOMPARE(f.listNames(), QStringList { "Zoll" });

        // Meanwhile the list is not read again: it shows "Zoll" and the new "Neu" only.
        runCli(team, { "add", "Fremd" });
        f.prompts.answerInput("Bitte geben Sie einen Namen für den neuen Eintrag an:", "Neu");
        form.newEntry();
        form.editor()->showTextInEditor(QStringLiteral("Text vom Team"));
        form.writeCurrentText();
        runCli(team, { "add", "Später" });
        f.prompts.answerMessage("Wollen Sie den Eintrag 'Zoll'\rwirklich löschen?", PromptAnswer::Yes);
        form.entryList()->setCurrentRow(1);
        form.deleteEntry();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());

        QCOMPARE(f.listNames(), (QStringList { "Fremd", "Neu", "Später" }));
        kx::config::ConfigAccess teamConfig(team);
        kx::store::EntryStore teamEntries(teamConfig, f.random);
        QCOMPARE(teamEntries.entryCount(), 3);
        QCOMPARE(teamEntries.readEntry(3).text, std::string("Text vom Team"));

        // Deleting "Fremd" (2) moves "Neu" (3) into its number: the window's list knows
        // neither, and each text still reaches its own entry, or none.
        runCli(team, { "delete", "2" });
        form.entryList()->setCurrentRow(1);
        QCOMPARE(form.editor()->editorText(), QString("Text vom Team"));
        form.editor()->showTextInEditor(QStringLiteral("Neuer Text"));
        form.writeCurrentText();
        f.prompts.answerMessage("Der Eintrag 'Fremd' steht nicht mehr in der Datei '" + team
            + "': er wurde inzwischen gelöscht oder umbenannt. Die Änderung wird nicht gespeichert, die "
              "Liste wird neu eingelesen.");
        form.entryList()->setCurrentRow(0);
        form.editor()->showTextInEditor(QStringLiteral("Fremder Text"));
        form.writeCurrentText();
        QCOMPARE(f.listNames(), (QStringList { "Neu", "Später" }));
        QCOMPARE(teamEntries.entryCount(), 2);
        for (int number : { 1, 2 }) {
            const kx::store::Entry entry = teamEntries.readEntry(number);
            QCOMPARE(entry.text, std::string(entry.name == "Neu" ? "Neuer Text" : ""));
        }
    }

    void aTeamFileThatCannotBeWrittenIsOnlyShown_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << false << "Die Team-Datei fehlt: ";
        QTest::newRow("read-only") << true << "Team-Datei (schreibgeschützt): ";
    }

    void aTeamFileThatCannotBeWrittenIsOnlyShown()
    {
        QFETCH(bool, present);
        QFETCH(QString, reason);
        if (present && geteuid() == 0)
            QSKIP("root writes any file; MainWindowTest_unprivileged runs this as nobody");
        MainWindowFixture f(ownWithTeam);
        const std::string team = f.dir.file("team.ini").string();
        // Nothing is written, and a missing file is not created.
        const std::string contents = present ? "[Name]\r\n1=Zoll\r\n[Text]\r\n1=zoll\r\n" : "";
        if (present) {
            f.dir.write("team.ini", contents);
            std::filesystem::permissions(team, std::filesystem::perms::owner_read);
        }
        kx::ui::MainWindow& form = f.start();
        form.libraryTabs()->setCurrentIndex(1);

        QCOMPARE(form.libraryTabs()->tabToolTip(1), reason + QString::fromStdString(team));
        QCOMPARE(f.find<QWidget>("ListenFrame")->toolTip(), form.libraryTabs()->tabToolTip(1));
        QVERIFY(form.editor()->isReadOnly());
        for (const char* disabled : { "Btn_8", "Btn_1", "Btn_2", "CryptChk", "DosBoxChk" })
            QVERIFY2(!f.find<QWidget>(disabled)->isEnabled(), disabled);
        QVERIFY(!f.find<QAction>("meTexte_1")->isEnabled());
        form.editor()->showTextInEditor(QStringLiteral("geändert"));
        form.writeCurrentText();
        QCOMPARE(kx::test::readBytes(team), contents);
    }

    void listIsSortedByNameAndItemsCarryTheirEntryNumbers()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        QCOMPARE(f.listNames(), (QStringList { "adresse", "Apfel", "Äpfel", "Gruß" }));
        QCOMPARE(f.numberAt(0), 2);
        // The first entry in sorted order is shown, not entry number 1.
        QCOMPARE(form.currEntryListIndex(), 0);
        QCOMPARE(form.editor()->editorText(), QString("Straße 1"));
        QVERIFY(f.find<QRadioButton>("OptDestinationType_1")->isChecked());
        QCOMPARE(f.find<QComboBox>("DestinationTextList")->currentText(), QString("Editor"));
        QVERIFY(f.find<QCheckBox>("DosBoxChk")->isChecked());

        form.entryList()->setCurrentRow(2);
        QCOMPARE(f.numberAt(2), 3);
        QCOMPARE(form.editor()->editorText(), QString::fromUtf8("AÃ\r\nBð\r\nC"));
        QVERIFY(f.find<QRadioButton>("OptDestinationType_0")->isChecked());
        QVERIFY(!f.find<QComboBox>("DestinationTextList")->isEnabled());
    }

    void titleModeStaysPendingUntilTheEmptyTitleBoxIsLeft()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        activate(form);
        form.entryList()->setCurrentRow(1); // "Apfel", number 4, no title
        auto* titleOption = f.find<QRadioButton>("OptDestinationType_1");
        auto* titleBox = f.find<QComboBox>("DestinationTextList");
        QTest::mouseClick(titleOption, Qt::LeftButton);
        QVERIFY(titleOption->isChecked());
        QVERIFY(titleBox->isEnabled());
        QVERIFY(titleBox->hasFocus());

        form.entryList()->setFocus();
        QVERIFY(f.find<QRadioButton>("OptDestinationType_0")->isChecked());
        QCOMPARE(f.value("Title", "4"), std::string(""));
        QCOMPARE(f.value("DosBox", "4"), std::string("0"));
    }

    void lastUsedWindowStoresNoTitleAndNoDosBox()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        QTest::mouseClick(f.find<QRadioButton>("OptDestinationType_0"), Qt::LeftButton);
        QCOMPARE(f.value("Title", "2"), std::string(""));
        QCOMPARE(f.value("DosBox", "2"), std::string("0"));
        QVERIFY(f.find<QCheckBox>("DosBoxChk")->isChecked()); // until shown again
        QVERIFY(f.find<QComboBox>("DestinationTextList")->currentText().isEmpty());
        QCOMPARE(form.entryList()->currentRow(), 0);
    }

    void typedTitleJoinsTheListOnceTrimmed()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        activate(form);
        auto* titleBox = f.find<QComboBox>("DestinationTextList");
        for (int round = 0; round < 2; ++round) {
            titleBox->setFocus();
            titleBox->setEditText(" x ");
            form.entryList()->setFocus();
        }
        QCOMPARE(titleBox->findText("x"), 1);
        QCOMPARE(titleBox->count(), 2);
        QCOMPARE(f.value("Title", "2"), std::string("x")); // the file trims values

        // Typing is not completed from the list ("Editor" is in it).
        titleBox->setFocus();
        titleBox->setEditText(QString());
        QTest::keyClicks(titleBox->lineEdit(), "Ed");
        QCOMPARE(titleBox->currentText(), QString("Ed"));

        // No entry has "x" any more, yet reading the list again keeps what was typed.
        QTest::mouseClick(f.find<QRadioButton>("OptDestinationType_0"), Qt::LeftButton);
        form.loadEntryList();
        QVERIFY(titleBox->findText("x") >= 0);
    }

    void entryCommandsShowTheirResultInTheList()
    {
        MainWindowFixture f("");
        kx::ui::MainWindow& form = f.start();
        f.prompts.answerInput("Bitte geben Sie einen Namen für den neuen Eintrag an:", "Neu");
        f.find<QPushButton>("Btn_8")->click();
        QCOMPARE(f.listNames(), QStringList { "Neu" });
        QVERIFY(form.editor()->isEnabled());
        QVERIFY(f.find<QPushButton>("Btn_1")->isEnabled());

        MainWindowFixture four(kx::test::fourEntries);
        kx::ui::MainWindow& list = four.start();
        four.prompts.answerInput("Bitte geben Sie einen Namen für den neuen Eintrag an:", "Birne");
        list.newEntry();
        QCOMPARE(four.listNames(), (QStringList { "adresse", "Apfel", "Äpfel", "Birne", "Gruß" }));
        QCOMPARE(list.entryList()->currentRow(), 3);
        QCOMPARE(four.numberAt(3), 5);

        list.entryList()->setCurrentRow(0); // adresse, number 2
        four.prompts.answerInput("Bitte geben Sie einen neuen Namen für den Eintrag ''adresse'' an:",
            "Zitrone");
        list.renameEntry();
        QCOMPARE(four.listNames(), (QStringList { "Apfel", "Äpfel", "Birne", "Gruß", "Zitrone" }));
        QCOMPARE(four.numberAt(4), 2);
        QCOMPARE(list.entryList()->currentRow(), 4);

        four.prompts.answerMessage("Wollen Sie den Eintrag 'Zitrone'\rwirklich löschen?", PromptAnswer::Yes);
        four.find<QPushButton>("Btn_1")->click();
        QCOMPARE(four.listNames(), (QStringList { "Apfel", "Äpfel", "Birne", "Gruß" }));
        QCOMPARE(four.numberAt(2), 2); // Birne was number 5
        QCOMPARE(four.value("Name", "2"), std::string("Birne"));
        QCOMPARE(list.currEntryListIndex(), 0);
        QCOMPARE(list.editor()->editorText(), QString("xAbyab"));
    }

    void aCombinationSomebodyHasIsRefusedNamingThem_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("stored");
        QTest::newRow("another entry's")
            << int(Qt::Key_1)
            << "Die Tastenkombination Strg+Alt+1 ist schon dem Textbaustein »Gruß« "
               "zugeordnet."
            << "";
        QTest::newRow("the menu's") << int(Qt::Key_V)
                                    << "Die Tastenkombination Strg+Alt+V öffnet schon das Menü."
                                    << "";
        QTest::newRow("another program's") << int(Qt::Key_3)
                                           << "Die Tastenkombination Strg+Alt+3 für den Textbaustein »Apfel« "
                                              "wird schon von einem anderen Programm verwendet."
                                           << "";
        QTest::newRow("a free one") << int(Qt::Key_4) << ""
                                    << "Ctrl+Alt+4";
    }

    void aCombinationSomebodyHasIsRefusedNamingThem()
    {
        QFETCH(int, key);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        MainWindowFixture f(std::string(kx::test::fourEntries) + "[Hotkey]\r\n1=Ctrl+Alt+1\r\n");
        kx::ui::MainWindow& form = f.start();
        kx::platform::FakeGlobalHotkey desktop;
        desktop.takeByOtherProgram({ kx::platform::HotkeyCtrl | kx::platform::HotkeyAlt, "3" });
        kx::popup::HotkeyController hotkeys { { *f.config, desktop, f.prompts, {}, {}, f.entries.get() } };
        form.setHotkeys(&hotkeys);
        activate(form);
        form.entryList()->setCurrentRow(1); // "Apfel", number 4
        if (!message.isEmpty())
            f.prompts.answerMessage(message.toStdString());
        auto* field = f.find<QKeySequenceEdit>("EntryHotkeyEdit");
        field->setFocus();
        QTest::keyClick(field, Qt::Key(key), Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(QString::fromStdString(f.config->readIniString("Hotkey", "4", "")), stored);
        QCOMPARE(field->keySequence().toString(QKeySequence::PortableText), stored);
    }

    void leavingTheEditorStoresTheTextOfTheEntryThatWasShown()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        activate(form);
        form.entryList()->setCurrentRow(3); // Gruß, number 1
        form.editor()->setFocus();
        form.editor()->setSelection(5, 0);
        QTest::keyClick(form.editor(), Qt::Key_Return);
        QTest::keyClicks(form.editor(), "Welt");
        f.find<QCheckBox>("CryptChk")->setChecked(true);
        // Clicking another entry: the editor loses the focus before the list moves on.
        const QRect second = form.entryList()->visualItemRect(form.entryList()->item(0));
        QTest::mouseClick(form.entryList()->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(form.currEntryListIndex(), 0);
        QCOMPARE(f.value("Crypt", "1"), std::string("1"));
        QVERIFY(f.value("Text", "1") != "Hallo\\NWelt");
        QCOMPARE(f.entries->readEntry(1).text, std::string("Hallo\\NWelt"));
        QCOMPARE(f.value("Text", "2"), std::string("Straße 1"));
    }

    void rightButtonInTheEditorOpensTheEditMenuWithFreshState()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        form.editor()->setSelection(0, 3);
        QTest::mousePress(form.editor()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(form.editMenu()->isVisible());
        QVERIFY(f.find<QAction>("meBearbeiten_2")->isEnabled());
        form.editMenu()->hide();
        QTest::mousePress(form.editor()->viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(5, 5));
        QVERIFY(!form.editMenu()->isVisible());
    }

    void helpOpensTheFirstPageThatIsAFile()
    {
        MainWindowFixture f(kx::test::fourEntries);
        std::filesystem::create_directory(f.dir.file("hilfe.htm"));
        f.dir.write("index.htm", "i");
        kx::ui::MainWindow& form = f.start();
        activate(form);
        f.find<QPushButton>("Btn_10")->click();
        f.find<QAction>("meHilfe_1")->trigger();
        form.entryList()->setFocus();
        QTest::keyClick(form.entryList(), Qt::Key_F1);
        QCOMPARE(f.opener.opened, std::vector<std::string>(3, f.dir.file("index.htm").string()));

        std::filesystem::remove(f.dir.file("hilfe.htm"));
        f.dir.write("hilfe.htm", "h");
        form.showHelp();
        QCOMPARE(f.opener.opened.back(), f.dir.file("hilfe.htm").string());

        std::filesystem::remove(f.dir.file("hilfe.htm"));
        std::filesystem::remove(f.dir.file("index.htm"));
        f.prompts.answerMessage("Die Online-Hilfe konnte leider nicht gefunden werden ...");
        form.showHelp();
        QCOMPARE(f.opener.opened.size(), std::size_t(4));
    }

    void infoShowsTheVersionWithoutModality()
    {
        MainWindowFixture f("");
        kx::ui::MainWindow& form = f.start();
        f.find<QPushButton>("Btn_5")->click();
        auto* about = form.findChild<QDialog*>("AboutDialog");
        QVERIFY(about && about->isVisible());
        QVERIFY(!about->isModal());
        QVERIFY(about->findChild<QLabel*>("lblVersion")
                    ->text()
                    .contains(QRegularExpression("^Version \\d+\\.\\d+\\.\\d+$")));
    }

    void panesFollowTheWindowAndNeverShrinkBelowTheLoadSize()
    {
        MainWindowFixture f("");
        kx::ui::MainWindow& form = f.start();
        const QSize loadSize = form.size();
        auto* steuerung = f.find<QGroupBox>("SteuerungsFrame");
        auto* textFrame = f.find<QGroupBox>("TextFrame");
        auto* listFrame = f.find<QGroupBox>("ListenFrame");
        auto* list = form.entryList();
        auto* container1 = f.find<QWidget>("Container1");
        auto* container2 = f.find<QWidget>("Container2");
        const QRect s0 = steuerung->geometry(), t0 = textFrame->geometry(), l0 = listFrame->geometry();
        const QRect e0 = form.editor()->geometry(), list0 = list->geometry();
        const int c1 = container1->y(), c2 = container2->y();

        form.resize(loadSize + QSize(67, 40));
        QCOMPARE(steuerung->x(), s0.x() + 67);
        QCOMPARE(textFrame->width(), t0.width() + 67);
        QCOMPARE(form.editor()->size(), e0.size() + QSize(67, 40));
        QCOMPARE(listFrame->geometry(), l0.adjusted(0, 0, 0, 40));
        QCOMPARE(list->geometry(), list0.adjusted(0, 0, 0, 40));
        QCOMPARE(steuerung->height(), s0.height() + 40);
        QCOMPARE(textFrame->height(), t0.height() + 40);
        QCOMPARE(container1->y(), c1 + 40);
        QCOMPARE(container2->y(), c2 + 40);

        // Smaller than at load: that dimension snaps back, the other one follows.
        form.resize(loadSize.width() - 50, loadSize.height() + 10);
        QCOMPARE(form.size(), QSize(loadSize.width(), loadSize.height() + 10));
        QCOMPARE(steuerung->x(), s0.x());
    }

    // Files no user should have: the window starts in debug mode without a message and keeps
    // every byte (odd but readable files: unit/cli/BadConfigTest).
    void startsOverAnOddFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        std::mt19937 random(7);
        QByteArray garbage(1 << 20, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("one 10 MB line") << ("[Name]1=" + QByteArray(10 << 20, 'x'));
    }

    void startsOverAnOddFile()
    {
        QFETCH(QByteArray, bytes);
        const std::string original(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        MainWindowFixture fixture(original);
        fixture.start({ "debug" });
        QVERIFY(kx::test::readBytes(fixture.dir.file("Kalmotex.ini")).starts_with(original));
    }

    void symbolsShowAsThreeLinesAndStoreBackExactly()
    {
        SnippetEditor editor;
        const std::string stored = "A\\NB\\TC";
        editor.showTextInEditor(QString::fromStdString(kx::ui::storedTextToEditor(stored)));
        QCOMPARE(editor.document()->blockCount(), 3);
        QCOMPARE(editor.editorText(), A_CR_B_TAB_C);
        QCOMPARE(editor.textLength(), 9);
        QCOMPARE(kx::ui::editorTextToStored(editor.editorText().toStdString()), stored);
        const std::string withLf = "x\\Ly";
        editor.showTextInEditor(QString::fromStdString(kx::ui::storedTextToEditor(withLf)));
        QCOMPARE(kx::ui::editorTextToStored(editor.editorText().toStdString()), withLf);
    }

    void symbolsAreDrawnAsColouredArrows()
    {
        SnippetEditor editor;
        editor.resize(200, 100);
        editor.showTextInEditor(A_CR_B_TAB_C);
        const QImage image = editor.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(pixelsOfColour(image, qRgb(255, 0, 0)) >= 4);
        QVERIFY(pixelsOfColour(image, qRgb(0, 0, 255)) >= 4);
    }

    void enterAndTabInsertSymbolsAndTypingBehindASymbolGoesToTheNextLine()
    {
        SnippetEditor editor;
        editor.showTextInEditor("Hallo");
        editor.setSelection(2, 2); // "ll" stays, the symbol goes in front of it
        QTest::keyClick(&editor, Qt::Key_Return);
        QCOMPARE(editor.editorText(), QString::fromUtf8("HaÃ\r\nllo"));
        QCOMPARE(editor.selStart(), 5);
        QTest::keyClick(&editor, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(kx::ui::editorTextToPlain(editor.editorText().toStdString()), std::string("Ha\r\tllo"));

        // Cursor moved back between the symbol and its line break: a typed letter lands behind the break.
        editor.setSelection(3, 0);
        QTest::keyClicks(&editor, "X");
        QCOMPARE(editor.editorText(), QString::fromUtf8("HaÃ\r\nXð\r\nllo"));
        const QTextCharFormat typed = editor.document()->findBlockByNumber(1).begin().fragment().charFormat();
        QVERIFY(!SnippetEditor::isSymbolFormat(typed));
        QCOMPARE(typed.foreground().color(), QColor(Qt::black));
    }

    void pastedLineBreaksVanishAndTypedSymbolLettersBecomeKeys()
    {
        SnippetEditor editor;
        editor.showTextInEditor("");
        QApplication::clipboard()->setText("eins\r\nzwei");
        editor.paste();
        typeText(&editor, QString::fromUtf8("Ãð"));
        QCOMPARE(kx::ui::editorTextToPlain(editor.editorText().toStdString()), std::string("einszwei\r\t"));
    }

    void cursorOffsetSurvivesSwitchingEntries()
    {
        SnippetEditor editor;
        editor.showTextInEditor(A_CR_B_TAB_C);
        editor.setSelection(6, 0); // behind "B" and its symbol's CR LF counted
        editor.showTextInEditor("0123456789");
        QCOMPARE(editor.selStart(), 6);
        editor.showTextInEditor("abc");
        QCOMPARE(editor.selStart(), 3);
    }

    void searchSelectsHitsInTurnStopsAtTheEndAndCountsLineBreaksAsTwo()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        form.entryList()->setCurrentRow(1); // "Apfel": x A b y a b
        form.editor()->setSelection(0, 0);
        f.prompts.answerInput("Suchen nach:", "ab");
        form.searchText();
        QCOMPARE(f.prompts.shown().at(0).title, std::string("Kalmotex"));
        QCOMPARE(form.editor()->selStart(), 1);
        QCOMPARE(form.editor()->selLength(), 2);
        emit form.editMenu()->aboutToShow(); // the menu's items follow the state when it opens
        f.find<QAction>("meBearbeiten_7")->trigger();
        QCOMPARE(form.editor()->selStart(), 4);
        for (int i = 0; i < 2; ++i) {
            f.prompts.answerMessage("Die Suche ist am Ende des Textes angekommen.");
            form.findNext();
            QCOMPARE(form.editor()->selStart(), 4);
            QCOMPARE(form.editor()->selLength(), 2);
        }
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());

        // The proposed answer is the last search text; cancelling empties it.
        f.prompts.clear();
        f.prompts.answerInput("Suchen nach:", std::nullopt);
        form.searchText();
        QCOMPARE(f.prompts.shown().at(0).defaultText, std::string("ab"));
        emit form.editMenu()->aboutToShow();
        QVERIFY(!f.find<QAction>("meBearbeiten_7")->isEnabled());

        // Line breaks count as two characters; a selection is skipped.
        form.entryList()->setCurrentRow(2); // A Ã CR LF B ð CR LF C
        form.editor()->setSelection(0, 1); // "A" selected: the search starts behind it
        f.prompts.answerInput("Suchen nach:", "b");
        form.searchText();
        QCOMPARE(form.editor()->selStart(), 4);
        QCOMPARE(form.editor()->selectedEditorText(), QString("B"));
    }

    void cutPutsSymbolsAndTheirLineBreakOnTheClipboard()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
        form.entryList()->setCurrentRow(2);
        form.editor()->setSelection(0, 4);
        emit form.editMenu()->aboutToShow();
        QVERIFY(f.find<QAction>("meBearbeiten_1")->isEnabled());
        f.find<QAction>("meBearbeiten_1")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("AÃ\r\n"));
        QCOMPARE(form.editor()->editorText(), QString::fromUtf8("Bð\r\nC"));

        QApplication::clipboard()->clear();
        form.editor()->setSelection(0, 0);
        emit form.editMenu()->aboutToShow();
        QVERIFY(!f.find<QAction>("meBearbeiten_1")->isEnabled());
        QVERIFY(!f.find<QAction>("meBearbeiten_3")->isEnabled());
    }

    // The first start with the shipped sample as the build lays it out (what `make run` starts
    // from): every sample entry sends what it promises, without a "file not found" in the text.
    // That an installation seeds its configuration folder alike: e2e install/installed_program.
    void everySampleEntryExpandsWithoutMissingFiles()
    {
        MainWindowFixture f({}, false);
        for (const char* shipped : { "sample.ini", "signatur.txt" })
            QVERIFY2(fs::copy_file(fs::path(KX_PROGRAM_DIR) / shipped, f.dir.file(shipped)), shipped);
        CurrentFolderGuard guard;
        // A start from anywhere else, as from a desktop menu.
        fs::current_path(fs::temp_directory_path());
        QVERIFY(app::enterConfigFolder(f.paths()));
        f.start();
        QVERIFY(fs::is_regular_file(f.dir.file("Kalmotex.ini")));

        const transmit::SystemClock clock;
        const auto items = f.entries->enumerateEntries();
        QCOMPARE(items.size(), std::size_t { 8 });
        for (const store::EntryListItem& item : items) {
            const std::string sent = transmit::expandedEntryText(f.entries->readEntry(item.number), clock);
            QVERIFY2(sent.find("nicht finden") == std::string::npos, (item.name + ": " + sent).c_str());
            QVERIFY2(sent.find('%') == std::string::npos, (item.name + ": " + sent).c_str());
        }
        QCOMPARE(transmit::expandedEntryText(f.entries->readEntry(6), clock),
            std::string("Viele Grüße\rMax Mustermann\rMusterfirma GmbH\rMusterstraße 12, 12345 "
                        "Musterstadt\rTel. 01234 567890\r"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
