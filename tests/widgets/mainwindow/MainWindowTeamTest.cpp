#include "MainWindowFixture.h"

#include "ui/SnippetEditor.h"

#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <filesystem>
#include <unistd.h>

using kx::test::MainWindowFixture;

namespace {

const char* const ownWithTeam = "[Common]\r\nTeamFile=team.ini\r\n[Name]\r\n1=Eigen\r\n";

// The names the team file holds now, in number order.
std::vector<std::string> teamNames(const std::string& path)
{
    kx::config::ConfigAccess config(path);
    kx::store::TimeSeededRandom random;
    std::vector<std::string> names;
    for (const auto& item : kx::store::EntryStore(config, random).enumerateEntries())
        names.push_back(item.name);
    return names;
}

} // namespace

class MainWindowTeamTest : public QObject
{
    Q_OBJECT

private slots:
    void teamEntriesAreEditedWhileAnotherProgramAddsSome()
    {
        MainWindowFixture f(ownWithTeam);
        const std::string team = f.dir.file("team.ini").string();
        f.dir.write("team.ini", "[Name]\r\n1=Zoll\r\n");
        kx::ui::MainWindow& form = f.start();
        QVERIFY(form.libraryTabs()->isVisible());
        form.libraryTabs()->setCurrentIndex(1);
        QCOMPARE(f.listNames(), QStringList { "Zoll" });

        QProcess cli;
        cli.start(KX_PROGRAM_DIR "/kalmotex-cli", { "--config", QString::fromStdString(team), "add", "Fremd" });
        QVERIFY(cli.waitForFinished());
        QCOMPARE(cli.exitCode(), 0);

        const std::string prompt = "Bitte geben Sie einen Namen für den neuen Eintrag an:";
        f.prompts.answerInput(prompt, "Neu");
        form.newEntry();
        form.editor()->showTextInEditor(QStringLiteral("Text vom Team"));
        form.writeCurrentText();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());

        QCOMPARE(teamNames(team), (std::vector<std::string> { "Zoll", "Fremd", "Neu" }));
        kx::config::ConfigAccess teamConfig(team);
        QCOMPARE(kx::store::EntryStore(teamConfig, f.random).readEntry(3).text, std::string("Text vom Team"));
        QCOMPARE(f.value("Name", "2"), std::string("<missing>"));
        form.libraryTabs()->setCurrentIndex(0);
        form.libraryTabs()->setCurrentIndex(1);
        QCOMPARE(f.listNames(), (QStringList { "Fremd", "Neu", "Zoll" }));
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
            QSKIP("root writes any file; MainWindowTeamTest_unprivileged runs this as nobody");
        MainWindowFixture f(ownWithTeam);
        const std::string team = f.dir.file("team.ini").string();
        const std::string contents = "[Name]\r\n1=Zoll\r\n[Text]\r\n1=zoll\r\n";
        if (present) {
            f.dir.write("team.ini", contents);
            std::filesystem::permissions(team, std::filesystem::perms::owner_read);
        }
        kx::ui::MainWindow& form = f.start();
        form.libraryTabs()->setCurrentIndex(1);

        QCOMPARE(form.libraryTabs()->tabToolTip(1), reason + QString::fromStdString(team));
        QCOMPARE(f.find<QWidget>("ListenFrame")->toolTip(), form.libraryTabs()->tabToolTip(1));
        QCOMPARE(f.listNames().size(), present ? 1 : 0);
        QVERIFY(form.editor()->isReadOnly());
        for (const char* disabled : { "Btn_8", "Btn_1", "Btn_2", "CryptChk", "DosBoxChk" })
            QVERIFY2(!f.find<QWidget>(disabled)->isEnabled(), disabled);
        QVERIFY(!f.find<QAction>("meTexte_1")->isEnabled());
        form.editor()->showTextInEditor(QStringLiteral("geändert"));
        form.writeCurrentText();
        QVERIFY2(f.prompts.wentAsScripted(), f.prompts.report().c_str());
        QCOMPARE(std::filesystem::exists(team), present);
        if (present)
            QCOMPARE(kx::test::readBytes(team), contents);

        // One's own entries can be edited as before.
        form.libraryTabs()->setCurrentIndex(0);
        QVERIFY(!form.editor()->isReadOnly());
        QVERIFY(f.find<QPushButton>("Btn_8")->isEnabled());
    }
};

QTEST_MAIN(MainWindowTeamTest)
#include "MainWindowTeamTest.moc"
