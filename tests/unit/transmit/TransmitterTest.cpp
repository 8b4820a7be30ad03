#include "transmit/Transmitter.h"
#include "config/ConfigAccess.h"
#include "platform/Prompts.h"
#include "platform/fake/FakeDesktop.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "support/GermanTimeLocale.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"
#include "transmit/WindowDebugLog.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

namespace kx::transmit {
namespace {

using platform::WindowHandle;
using Events = std::vector<std::string>;

const std::string noTargetMessage
    = "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.";
const std::string walkHeader = "--- 09:05:03 --------------------------------------------";

// Stands in for the selection dialog: remembers what it was offered and picks one
// candidate by its position (or cancels). `whileOpen` runs as the user's other clicks would.
class PickingChooser : public WindowChooser
{
public:
    std::optional<WindowHandle> choose(const std::vector<WindowCandidate>& candidates) override
    {
        offered = candidates;
        if (whileOpen)
            whileOpen();
        if (!pick)
            return std::nullopt;
        return candidates.at(*pick).window;
    }

    std::optional<std::size_t> pick;
    std::vector<WindowCandidate> offered;
    std::function<void()> whileOpen;
};

// Records every message box; the send asks no questions.
class RecordingPrompts : public platform::Prompts
{
public:
    struct Message
    {
        std::string text;
        platform::PromptIcon icon;
        platform::PromptButtons buttons;
    };

    platform::PromptAnswer message(const std::string& text,
        platform::PromptIcon icon,
        platform::PromptButtons buttons,
        platform::PromptAnswer defaultAnswer) override
    {
        shown.push_back({ text, icon, buttons });
        return defaultAnswer;
    }
    std::optional<std::string> input(
        const std::string& prompt, const std::string&, const std::string&) override
    {
        ADD_FAILURE() << "unexpected input box: " << prompt;
        return std::nullopt;
    }

    std::vector<Message> shown;
};

class TransmitterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_germanTime.active())
            << "the de_DE.UTF-8 locale is missing; scripts/bootstrap generates it";
        writeConfig("");
        m_main = desktop.openWindow("[Kalmotex]");
        desktop.withdraw(m_main);
    }
    void TearDown() override
    {
        Events texts;
        for (const auto& message : prompts.shown)
            texts.push_back(message.text);
        EXPECT_EQ(texts, m_expectedMessages);
    }

    // Entries and ignored titles as the configuration file's lines (CR LF added).
    void writeConfig(const std::string& lines)
    {
        std::string bytes;
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);)
            bytes += line + "\r\n";
        m_dir.write("Kalmotex.ini", bytes);
        ignoredTitles.readFromFile();
    }

    Events typedEvents() const
    {
        Events result;
        for (const std::string& event : desktop.events()) {
            if (event.starts_with("type "))
                result.push_back(event);
        }
        return result;
    }

    test::TempDir m_dir;
    std::string m_configPath = m_dir.file("Kalmotex.ini").string();
    config::ConfigAccess config;
    test::SequenceRandom random { { 0.25, 0.5, 0.75 } };
    store::EntryStore entries { config, m_configPath, random };
    store::IgnoredTitles ignoredTitles { config, m_configPath };
    platform::FakeDesktop desktop;
    RecordingPrompts prompts;
    Events m_expectedMessages;
    PickingChooser chooser;
    WindowDebugLines debugLines;
    FixedClock clock { 2026, 3, 7, 9, 5, 3 };
    WindowHandle m_main = 0;
    Transmitter transmitter { { entries,
        ignoredTitles,
        desktop,
        desktop,
        desktop,
        prompts,
        chooser,
        debugLines,
        clock,
        desktop,
        [this] { return m_main; } } };
    test::GermanTimeLocale m_germanTime;
};

TEST_F(TransmitterTest, lastUsedWalkTypesIntoTheHighestQualifyingWindowAndListsTheCandidates)
{
    writeConfig("[Name]\n1=Gruß\n[Text]\n1=50% @ %jahr%\\N\\TEnde\n[Ignore]\n1=DFÜ-Netzwerkmonitor");
    desktop.openWindow("Editor");
    desktop.openWindow("DFÜ-Netzwerkmonitor");
    desktop.openWindow("dfü-netzwerkmonitor");
    desktop.openWindow("DFÜ-Netzwerkmonitor (2)");
    desktop.openWindow("KALMOTEX - Debugger");
    desktop.openWindow("");
    const WindowHandle shell = desktop.openWindow("Shell");
    desktop.openWindow("Minimised", false);
    desktop.clearEvents();

    transmitter.sendEntry(1);

    EXPECT_EQ(desktop.events(),
        (Events { "activate Shell", "process events", "type Shell: 50% @ 2026<Enter><Tab>Ende" }));
    EXPECT_EQ(desktop.focusedWindow(), shell);
    EXPECT_EQ(debugLines.lines(),
        (Events { walkHeader, "Editor", "dfü-netzwerkmonitor", "DFÜ-Netzwerkmonitor (2)", "Shell" }));
}

TEST_F(TransmitterTest, lastUsedWalkStartsAboveAVisibleMainWindow)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=x");
    desktop.openWindow("Below");
    desktop.setVisible(m_main, true); // now on top, the only window above it is none
    desktop.openWindow("Above");
    desktop.clearEvents();

    transmitter.sendEntry(1);

    EXPECT_EQ(desktop.events(), (Events { "activate Above", "process events", "type Above: x" }));
    EXPECT_EQ(debugLines.lines(), (Events { walkHeader, "Above" }));
}

TEST_F(TransmitterTest, noWindowInEitherModeShowsTheMessageAndTypesNothing)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=x\n2=y\n[Title]\n2=Nirgends");
    desktop.openWindow("Kalmotex Hilfe");
    desktop.openWindow("Hidden", false);
    m_expectedMessages.push_back(noTargetMessage);
    m_expectedMessages.push_back(noTargetMessage);

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(typedEvents(), Events {});
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].icon, platform::PromptIcon::Critical);
    EXPECT_EQ(prompts.shown[0].buttons, platform::PromptButtons::Ok);
    EXPECT_EQ(debugLines.lines(), Events { walkHeader });
}

TEST_F(TransmitterTest, titleSearchWithOneMatchTypesIntoItEvenWhenHiddenOrOwn)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=eins\n2=zwei\n[Title]\n1=  verborgen \n2=kalmotex");
    const WindowHandle hidden = desktop.openWindow("Verborgenes Fenster", false);
    const WindowHandle options = desktop.openWindow("[Kalmotex] - Optionen");
    desktop.openWindow("Editor");
    desktop.clearEvents();

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(desktop.received(hidden), "eins");
    EXPECT_EQ(desktop.received(options), "zwei");
}

TEST_F(TransmitterTest, titleSearchWithSeveralMatchesLetsTheChooserPickInStackOrder)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=Hallo\n[Title]\n1= editor ");
    const WindowHandle zeta = desktop.openWindow("Zeta - Editor");
    desktop.openWindow("Shell");
    const WindowHandle texteditor = desktop.openWindow("Texteditor", false);
    const WindowHandle alpha = desktop.openWindow("Alpha - Editor");
    desktop.clearEvents();

    chooser.pick = 2;
    transmitter.sendEntry(1);

    EXPECT_EQ(chooser.offered,
        (std::vector<WindowCandidate> { { "Alpha - Editor", alpha },
            { "Texteditor", texteditor },
            { "Zeta - Editor", zeta } }));
    EXPECT_EQ(desktop.events(),
        (Events { "activate Zeta - Editor", "process events", "type Zeta - Editor: Hallo" }));

    chooser.pick.reset();
    desktop.clearEvents();
    transmitter.sendEntry(1);
    EXPECT_EQ(desktop.events(), Events {});
}

TEST_F(TransmitterTest, titlesAreCutTo127CharactersBeforeMatching)
{
    const std::string longTitle = std::string(126, 'x') + "äZIEL";
    writeConfig("[Name]\n1=a\n[Text]\n1=t\n[Title]\n1=ziel");
    desktop.openWindow(longTitle);
    m_expectedMessages.push_back(noTargetMessage);

    transmitter.sendEntry(1);

    EXPECT_EQ(typedEvents(), Events {});
    EXPECT_EQ(transmitter.windowTitle(desktop.stack().front()), std::string(126, 'x') + "ä");
}

TEST_F(TransmitterTest, dosBoxEntryPastesThroughTheClipboardBeforeTheSearch)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=dir\\N\n2=cls\n[DosBox]\n1=1\n2=1\n[Title]\n2=Fehlt");
    desktop.openWindow("xterm");
    desktop.clearEvents();
    m_expectedMessages.push_back(noTargetMessage);

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(desktop.events(),
        (Events { "clipboard: dir\r",
            "activate xterm",
            "process events",
            "type xterm: <Shift+Insert>",
            "clipboard: cls" }));
}

TEST_F(TransmitterTest, anEntryNumberWithNothingStoredActivatesTheLastUsedWindowAndTypesNothing)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=x");
    desktop.openWindow("Editor");
    desktop.clearEvents();

    transmitter.sendEntry(42);

    EXPECT_EQ(desktop.events(), (Events { "activate Editor", "process events", "type Editor: " }));
}

TEST_F(TransmitterTest, sendsTheEntryAsTheFileHoldsItAtThatMoment)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=alt");
    const WindowHandle editor = desktop.openWindow("Editor");
    transmitter.sendEntry(1);
    writeConfig("[Name]\n1=a\n[Text]\n1=neu");
    transmitter.sendEntry(1);

    store::Entry scrambled { "s", "geheim\\Nzwei", "", 1, 0 };
    ASSERT_TRUE(entries.writeEntry(2, scrambled));
    transmitter.sendEntry(2);

    EXPECT_EQ(desktop.received(editor), "altneugeheim<Enter>zwei");
}

TEST_F(TransmitterTest, aPreparedSendTypesWhatTheEntryHeldIntoTheWindowChosenThen)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=vorher");
    const WindowHandle editor = desktop.openWindow("Editor");
    const std::optional<PreparedSend> send = transmitter.prepare(1);
    ASSERT_TRUE(send);
    EXPECT_EQ(send->target(), editor);

    writeConfig("[Name]\n1=a\n[Text]\n1=nachher");
    const WindowHandle shell = desktop.openWindow("Shell");
    transmitter.run(*send);

    EXPECT_EQ(desktop.received(editor), "vorher");
    EXPECT_EQ(desktop.received(shell), "");
}

// A second send asked for while the first waits for its window, handles pending events or
// shows the selection dialog (a tray click that got through) must not type anything, least
// of all into the first one's window; the first arrives whole in its own.
TEST_F(TransmitterTest, aSendRequestedWhileOneRunsIsRefusedAndTheFirstArrivesWhole)
{
    writeConfig("[Name]\n1=a\n2=b\n3=c\n[Text]\n1=AAA\n2=BBB\n3=CCC\n[Title]\n1=Ziel A\n2=Ziel B\n3=Ziel");
    const WindowHandle a = desktop.openWindow("Ziel A");
    const WindowHandle b = desktop.openWindow("Ziel B");
    chooser.pick = 0; // entry 3 matches both windows: the top one

    std::vector<bool> secondAccepted;
    const auto requestSecond = [&] { secondAccepted.push_back(transmitter.sendEntry(2)); };
    desktop.duringNextActivation(requestSecond);
    EXPECT_TRUE(transmitter.sendEntry(1));
    desktop.post(requestSecond);
    EXPECT_TRUE(transmitter.sendEntry(1));
    chooser.whileOpen = requestSecond;
    desktop.raise(b);
    EXPECT_TRUE(transmitter.sendEntry(3));
    chooser.whileOpen = nullptr;

    EXPECT_EQ(secondAccepted, (std::vector<bool> { false, false, false }));
    EXPECT_EQ(desktop.received(a), "AAAAAA");
    EXPECT_EQ(desktop.received(b), "CCC");
    EXPECT_FALSE(transmitter.isSending());

    EXPECT_TRUE(transmitter.sendEntry(2));
    EXPECT_EQ(desktop.received(b), "CCCBBB");
    EXPECT_EQ(desktop.received(a), "AAAAAA");
}

TEST_F(TransmitterTest, malformedKeysOrFailuresAreReportedOnlyInDebugOutput)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=x\n2=y\n[DosBox]\n2=1");
    const WindowHandle editor = desktop.openWindow("Editor");
    std::ostringstream debug;

    desktop.setConsolePasteSequence("a}b");
    transmitter.sendEntry(2);
    EXPECT_EQ(desktop.received(editor), "");

    transmitter.setDebugOutput(&debug);
    transmitter.sendEntry(2);
    desktop.setActivationFails(true);
    transmitter.sendEntry(1);

    EXPECT_EQ(desktop.received(editor), "x");
    std::ostringstream handle;
    handle << std::hex << editor;
    EXPECT_EQ(debug.str(),
        "type into 0x" + handle.str()
            + " 'Editor': keystroke string not typed, '}' outside braces at character 2\n" + "activate 0x"
            + handle.str() + " 'Editor': not confirmed, typing anyway\n");
}

} // namespace
} // namespace kx::transmit
