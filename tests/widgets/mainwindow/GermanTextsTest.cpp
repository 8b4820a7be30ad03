#include "MainWindowFixture.h"

#include "backends/qt/GermanQtTranslation.h"
#include "backends/qt/QtPrompts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using kx::platform::PromptAnswer;
using kx::platform::PromptButtons;
using kx::platform::PromptIcon;

namespace {

QString plain(QString caption) { return caption.remove(QLatin1Char('&')); }

QStringList buttonTexts(const QDialogButtonBox* box)
{
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts << plain(button->text());
    texts.sort();
    return texts;
}

} // namespace

// Qt's own texts (standard buttons, key names) as the program shows them: German under any
// locale, since the program loads Qt's German translation at start-up.
class GermanTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(kx::platform::loadGermanQtTranslation(*QCoreApplication::instance()),
            "Qt's German translation qtbase_de.qm is not installed: the Debian package "
            "qt6-translations-l10n is missing (scripts/bootstrap installs it)");
    }

    void questionBoxesAnswerJaOrNein()
    {
        kx::platform::QtPrompts prompts;
        const auto box = prompts.makeMessageBox("Wollen Sie den Eintrag 'Adresse'\rwirklich löschen?",
            PromptIcon::Question,
            PromptButtons::YesNo,
            PromptAnswer::No);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QCOMPARE(plain(box->button(QMessageBox::Yes)->text()), QString("Ja"));
        QCOMPARE(plain(box->button(QMessageBox::No)->text()), QString("Nein"));
        QVERIFY(box->button(QMessageBox::Yes)->isVisible());
        QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
        QCOMPARE(box->text(), QString("Wollen Sie den Eintrag 'Adresse'\nwirklich löschen?"));
        box->close();

        const auto info
            = prompts.makeMessageBox("Hinweis", PromptIcon::Information, PromptButtons::Ok, PromptAnswer::Ok);
        QCOMPARE(plain(info->button(QMessageBox::Ok)->text()), QString("OK"));
    }

    void nameBoxOffersOkAndAbbrechen()
    {
        kx::platform::QtPrompts prompts;
        const auto box = prompts.makeInputBox("Bitte geben Sie einen Namen für den neuen Eintrag an:",
            "[Kalmotex] - Neuen Eintrag erstellen",
            "");
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        const auto* buttons = box->findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QCOMPARE(buttonTexts(buttons), (QStringList { "Abbrechen", "OK" }));
        QCOMPARE(box->windowTitle(), QString("[Kalmotex] - Neuen Eintrag erstellen"));
        box->close();
    }

    void menusNameTheKeysInGerman()
    {
        kx::test::MainWindowFixture f(kx::test::fourEntries);
        f.start();
        auto shortcutText = [&f](const char* action) {
            return f.find<QAction>(action)->shortcut().toString(QKeySequence::NativeText);
        };
        QCOMPARE(shortcutText("meBearbeiten_1"), QString("Strg+X"));
        QCOMPARE(shortcutText("meBearbeiten_6"), QString("Strg+F"));
        QCOMPARE(shortcutText("meBearbeiten_4"), QString("Entf"));
        QCOMPARE(shortcutText("meHilfe_1"), QString("F1"));
    }
};

QTEST_MAIN(GermanTextsTest)
#include "GermanTextsTest.moc"
