#include "popup/qt/TrayController.h"
#include "app/ConfigAccess.h"
#include "platform/fake/FakeDesktop.h"
#include "popup/qt/NotificationIcon.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "support/ScriptedPrompts.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"
#include "transmit/Transmitter.h"
#include "transmit/WindowDebugLog.h"

#include <QTest>

using namespace kx;

namespace {

class NoChooser : public transmit::WindowChooser
{
public:
    void choose(const std::vector<transmit::WindowCandidate>&,
        const std::function<void(platform::WindowHandle)>&) override
    {
        ++opened;
    }
    int opened = 0;
};

// The send stack of the program on the fake desktop, with a configuration file of its own.
struct Rig
{
    explicit Rig(std::string_view ini)
        : file(dir.write("Kalmotex.ini", ini).string())
        , entries(config, file, random)
        , ignored(config, file)
        , transmitter(entries,
              ignored,
              desktop,
              desktop,
              desktop,
              prompts,
              chooser,
              log,
              clock,
              [] { return platform::WindowHandle { 0 }; })
        , tray(config, file, transmitter, { [this] { ++shown; }, [this] { ++exited; }, [this] { ++sends; } })
    {
    }

    test::TempDir dir;
    std::string file;
    app::ConfigAccess config;
    test::SequenceRandom random { { 0.5 } };
    store::EntryStore entries;
    store::IgnoredTitles ignored;
    platform::FakeDesktop desktop;
    test::ScriptedPrompts prompts;
    NoChooser chooser;
    transmit::WindowDebugLines log;
    transmit::FixedClock clock { 2024, 2, 29, 8, 5, 0 };
    transmit::Transmitter transmitter;
    popup::TrayController tray;
    int shown = 0;
    int exited = 0;
    int sends = 0;
};

const char* twoEntries = "[Name]\r\n1=Zeta\r\n2=Alpha\r\n[Text]\r\n1=z\r\n2=a\r\n";

} // namespace

class TrayControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void clickOnAnEntrySendsTheEntryOfItsTag()
    {
        Rig rig(twoEntries);
        const auto target = rig.desktop.openWindow("Editor");
        rig.tray.fillPum();
        QCOMPARE(rig.tray.menuModel().item(1).caption, std::string("Alpha"));
        rig.tray.mainFormPumClick(1);
        QCOMPARE(rig.desktop.received(target), std::string("a"));
        rig.tray.mainFormPumClick(2);
        QCOMPARE(rig.desktop.received(target), std::string("az"));
        QCOMPARE(rig.sends, 2);
    }

    void entryChangedInTheFileIsSentAsChanged()
    {
        Rig rig(twoEntries);
        const auto target = rig.desktop.openWindow("Editor");
        rig.tray.fillPum();
        rig.dir.write("Kalmotex.ini", "[Name]\r\n1=Zeta\r\n2=Alpha\r\n[Text]\r\n1=z\r\n2=neu\r\n");
        rig.tray.mainFormPumClick(1);
        QCOMPARE(rig.desktop.received(target), std::string("neu"));
    }

    void fixedItemsShowExitOrDoNothing()
    {
        Rig rig(twoEntries);
        rig.desktop.openWindow("Editor");
        rig.tray.fillPum(); // Alpha, Zeta, -, &Bearbeiten, -, &Abbrechen, B&eenden
        rig.tray.mainFormPumClick(4);
        QCOMPARE(rig.shown, 1);
        for (int nothing : { 0, 3, 5, 6 })
            rig.tray.mainFormPumClick(nothing);
        QCOMPARE(rig.shown, 1);
        QCOMPARE(rig.exited, 0);
        rig.tray.mainFormPumClick(7);
        QCOMPARE(rig.exited, 1);
        QVERIFY(rig.desktop.events().empty());
        QCOMPARE(rig.sends, 0);
        QVERIFY(rig.prompts.shown().empty());
    }

    void iconCarriesTheTipAndIsGoneAfterDeletion()
    {
        Rig rig(twoEntries);
        rig.tray.addIcon(QIcon());
        QCOMPARE(rig.tray.notificationIcon().toolTip(), QString("[Kalmotex]"));
        rig.tray.deleteIcon();
        QVERIFY(!rig.tray.notificationIcon().isAdded());

        popup::NotificationIcon icon;
        icon.addIcon(QIcon(), QString(70, u'x'));
        QCOMPARE(icon.toolTip(), QString(63, u'x'));
    }
};

QTEST_MAIN(TrayControllerTest)
#include "TrayControllerTest.moc"
