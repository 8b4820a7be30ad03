#include "popup/qt/OptionsController.h"
#include "backends/xdg/XdgAutostartStore.h"
#include "config/ConfigAccess.h"
#include "popup/qt/BorderStrip.h"
#include "popup/qt/OptionsDialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QTest>

using namespace kx;

namespace {

// The options as the program runs them: a configuration file, the XDG autostart folder in
// a temporary folder, and a popup menu that only counts its openings.
struct Rig
{
    explicit Rig(std::string_view common)
        : file(dir.write("Kalmotex.ini", std::string("[Common]\r\n").append(common)).string())
        , store(dir.path() / "config" / "autostart")
        , options({ config, file, store, prompts, "/opt/Meine Programme/kalmotex", [this] { ++menus; } })
    {
    }

    std::string entryText() const
    {
        return test::readBytes(dir.path() / "config" / "autostart" / "[Kalmotex].desktop");
    }

    test::TempDir dir;
    std::string file;
    config::ConfigAccess config;
    platform::XdgAutostartStore store;
    test::ScriptedPrompts prompts;
    int menus = 0;
    popup::OptionsController options;
};

} // namespace

class OptionsControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void theStripLiesAlongTheChosenEdgeOfThePrimaryScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const struct
        {
            const char* common;
            QRect strip;
        } cases[] = {
            { "PumActViaBorder=1\r\nPumActPos=0\r\n", QRect(screen.left(), screen.top(), screen.width(), 1) },
            { "PumActViaBorder=1\r\nPumActPos=1\r\n",
                QRect(screen.left(), screen.bottom(), screen.width(), 1) },
            { "PumActViaBorder=1\r\nPumActPos=2\r\n",
                QRect(screen.left(), screen.top(), 1, screen.height()) },
            { "PumActViaBorder=1\r\nPumActPos=3\r\n",
                QRect(screen.right(), screen.top(), 1, screen.height()) },
            { "PumActViaBorder=1\r\nPumActPos=7\r\n", QRect(screen.left(), screen.top(), screen.width(), 1) },
        };
        for (const auto& c : cases) {
            Rig rig(c.common);
            rig.options.loadOptions();
            QVERIFY2(!rig.options.borderStrip().isVisible(), c.common); // placed only by the next step
            rig.options.placeBorderStrip();
            QVERIFY2(rig.options.borderStrip().isVisible(), c.common);
            QCOMPARE(rig.options.borderStrip().geometry(), c.strip);
            QCOMPARE(rig.options.borderStrip().windowTitle(), QString("[Kalmotex]"));

            rig.options.closeWindows();
            QVERIFY(!rig.options.borderStrip().isVisible());
        }
    }

    void theStripIsHiddenWhenItIsOffAndShowsTheStoredColour()
    {
        Rig off("PumActViaBorder=0\r\nPumActPos=2\r\nPumActBorderCol=255\r\n");
        off.options.loadOptions();
        off.options.placeBorderStrip();
        QVERIFY(!off.options.borderStrip().isVisible());
        QCOMPARE(off.options.borderStrip().palette().color(QPalette::Window), QColor(255, 0, 0));

        Rig noColour("PumActViaBorder=1\r\nPumActBorderCol=16777216\r\n");
        noColour.options.loadOptions();
        QCOMPARE(noColour.options.borderStrip().palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::Button));
    }

    void theAutostartBoxWritesAndRemovesTheDesktopEntry()
    {
        Rig rig("");
        rig.options.loadOptions();
        QVERIFY(!rig.options.autostart().initialState());
        QVERIFY(rig.options.autostart().apply(true));
        QCOMPARE(rig.entryText(),
            std::string("[Desktop Entry]\nType=Application\nName=Kalmotex\n"
                        "Exec=\"/opt/Meine Programme/kalmotex\" /AUTOSTART\nTerminal=false\n"));
        QVERIFY(rig.options.autostart().initialState());
        QVERIFY(rig.options.autostart().apply(false));
        QVERIFY(!rig.store.hasEntry("[Kalmotex]"));
        QVERIFY(rig.prompts.shown().empty());
    }

    void aFolderThatCannotBeWrittenChangesNothingAndAsksNothing()
    {
        Rig rig("");
        rig.dir.write("config", "a file where the folder should be");
        rig.options.loadOptions();
        const std::string folder = (rig.dir.path() / "config" / "autostart").string();
        QVERIFY(!rig.options.autostart().apply(true));
        QVERIFY(rig.prompts.shown().empty());
        QCOMPARE(rig.options.autostart().lastError(), folder + ": Not a directory");
        QCOMPARE(test::readBytes(rig.dir.path() / "config"),
            std::string("a file where the folder should be"));
    }

    void startUpRemovesTheStaleEntryOnly()
    {
        Rig rig("");
        QVERIFY(rig.store.addEntry("Kalmotex", "/old/kalmotex", "").ok);
        QVERIFY(rig.store.addEntry("[Kalmotex]", "/opt/kalmotex", "/AUTOSTART").ok);
        rig.options.removeStaleAutostartEntry();
        QVERIFY(!rig.store.hasEntry("Kalmotex"));
        QVERIFY(rig.store.hasEntry("[Kalmotex]"));
    }
};

QTEST_MAIN(OptionsControllerTest)
#include "OptionsControllerTest.moc"
