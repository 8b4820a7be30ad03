#include "MainWindowFixture.h"

#include "app/qt/StartFolder.h"
#include "transmit/Clock.h"
#include "transmit/Transmitter.h"

#include <QTest>

#include <filesystem>

namespace fs = std::filesystem;
using namespace kx;

namespace {

// Puts the current folder back however the test ends.
struct CurrentFolderGuard
{
    ~CurrentFolderGuard() { fs::current_path(saved); }
    fs::path saved = fs::current_path();
};

} // namespace

Q_DECLARE_METATYPE(fs::path)

// The first start with the shipped sample, in the build folder and in an installation: every
// sample entry sends what it promises, without a "file not found" in the text.
class SampleEntriesTest : public QObject
{
    Q_OBJECT

private slots:
    void everySampleEntryExpandsWithoutMissingFiles_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<fs::path>("shippedFrom");
        // What `make run` starts from: the build copies the data files beside the program.
        QTest::newRow("build folder") << false << fs::path(KX_PROGRAM_DIR);
        // What `cmake --install` puts in share/kalmotex.
        QTest::newRow("installed") << true << fs::path(KX_SOURCE_DIR) / "data";
    }
    void everySampleEntryExpandsWithoutMissingFiles()
    {
        QFETCH(bool, installed);
        QFETCH(fs::path, shippedFrom);
        test::TempDir root;
        const fs::path data = installed ? root.path() / "share" / "kalmotex" : root.path() / "bin";
        const fs::path configFolder = installed ? root.path() / "config" / "kalmotex" : data;
        fs::create_directories(data);
        fs::create_directories(configFolder);
        for (const char* shipped : { "sample.ini", "signatur.txt" })
            QVERIFY2(fs::copy_file(shippedFrom / shipped, data / shipped), shipped);
        const ui::StartupPaths paths { (configFolder / "Kalmotex.ini").string(),
            (data / "sample.ini").string(),
            data.string() };

        CurrentFolderGuard guard;
        // A start from anywhere else, as from a desktop menu.
        fs::current_path(root.path());
        QVERIFY(app::enterConfigFolder(paths));
        config::ConfigAccess config(paths.configFilePath);
        store::TimeSeededRandom random;
        test::ScriptedPrompts prompts;
        test::RecordingOpener opener;
        store::EntryStore entries(config, random);
        store::IgnoredTitles ignored(config);
        ui::MainWindow form(ui::MainWindowServices { entries, ignored, prompts, opener }, paths);
        form.load({});
        QVERIFY2(prompts.wentAsScripted(), prompts.report().c_str());
        QVERIFY(fs::is_regular_file(paths.configFilePath));

        const transmit::SystemClock clock;
        const auto items = entries.enumerateEntries();
        QCOMPARE(items.size(), std::size_t { 8 });
        for (const store::EntryListItem& item : items) {
            const std::string sent = transmit::expandedEntryText(entries.readEntry(item.number), clock);
            QVERIFY2(sent.find("nicht finden") == std::string::npos, (item.name + ": " + sent).c_str());
            QVERIFY2(sent.find('%') == std::string::npos, (item.name + ": " + sent).c_str());
        }
        QCOMPARE(transmit::expandedEntryText(entries.readEntry(6), clock),
            std::string("Viele Grüße\rMax Mustermann\rMusterfirma GmbH\rMusterstraße 12, 12345 "
                        "Musterstadt\rTel. 01234 567890\r"));
    }
};

QTEST_MAIN(SampleEntriesTest)
#include "SampleEntriesTest.moc"
