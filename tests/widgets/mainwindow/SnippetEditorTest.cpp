#include "MainWindowFixture.h"

#include "ui/EditorText.h"
#include "ui/SnippetEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTextBlock>

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

} // namespace

class SnippetEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void symbolsShowAsThreeLinesAndStoreBackExactly()
    {
        SnippetEditor editor;
        const std::string stored = "A\\NB\\TC";
        editor.showTextInEditor(QString::fromStdString(kx::ui::storedTextToEditor(stored)));
        QCOMPARE(editor.document()->blockCount(), 3);
        QCOMPARE(editor.editorText(), A_CR_B_TAB_C);
        QCOMPARE(editor.textLength(), 9);
        QCOMPARE(kx::ui::editorTextToStored(editor.editorText().toStdString()), stored);
        // A lone line feed keeps its place and comes back as itself.
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

    void searchSelectsHitsInTurnAndStopsAtTheEnd()
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
    }

    void searchCountsLineBreaksAsTwoCharactersAndSkipsTheSelection()
    {
        MainWindowFixture f(kx::test::fourEntries);
        kx::ui::MainWindow& form = f.start();
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
};

QTEST_MAIN(SnippetEditorTest)
#include "SnippetEditorTest.moc"
