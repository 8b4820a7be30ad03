// The main window started over odd configuration files: it starts, lists what the file
// holds, and keeps every byte of it.

#include "MainWindowFixture.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <string>

using kx::test::MainWindowFixture;

class BadConfigStartTest : public QObject
{
    Q_OBJECT

private slots:
    void startsOverAnOddFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("known"); // whether the names are known
        QTest::addColumn<QStringList>("names"); // sorted

        std::mt19937 random(7);
        QByteArray garbage(1 << 20, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        QTest::newRow("binary garbage") << garbage << false << QStringList();
        QTest::newRow("one 10 MB line") << ("[Name]1=" + QByteArray(10 << 20, 'x')) << true << QStringList {};
        QTest::newRow("CR line endings")
            << QByteArray("[Name]\r1=Erster\r2=Zweiter\r") << true << QStringList { "Erster", "Zweiter" };
        QTest::newRow("NUL bytes") << QByteArray("[Name]\r\n1=Ers\0ter\r\n2=Zwei\r\n", 26) << true
                                   << QStringList { "Ers", "Zwei" };
        QTest::newRow("invalid UTF-8") << QByteArray("[Name]\r\n1=Gr\xFC\xDF\r\n2=\xC3\x28\r\n") << true
                                       << QStringList { QString::fromUtf8("Grüß"), QString::fromUtf8("Ã(") };
    }

    void startsOverAnOddFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, known);
        QFETCH(QStringList, names);
        const std::string original(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        MainWindowFixture fixture(original);
        fixture.start({ "debug" });
        QVERIFY2(fixture.prompts.shown().empty(), fixture.prompts.report().c_str());
        QStringList listed = fixture.listNames();
        listed.sort();
        if (known)
            QCOMPARE(listed, names);
        const std::string after = kx::test::readBytes(fixture.dir.file("Kalmotex.ini"));
        QVERIFY(after.starts_with(original));
    }
};

QTEST_MAIN(BadConfigStartTest)
#include "BadConfigStartTest.moc"
