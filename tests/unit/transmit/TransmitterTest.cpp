#include "transmit/Transmitter.h"
#include "support/GermanTimeLocale.h"
#include "support/SendStack.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kx::transmit {
namespace {

using platform::WindowHandle;
using Events = std::vector<std::string>;

const std::string noTargetMessage
    = "Es wurde kein passendes Zielfenster identifiziert.\rDie Übertragung wird daher abgebrochen.";
const std::string walkHeader = "--- 08:05:00 --------------------------------------------";

class TransmitterTest : public testing::Test, public test::SendStack
{
protected:
    TransmitterTest()
        : SendStack("")
    {
    }
    void SetUp() override
    {
        ASSERT_TRUE(m_germanTime.active())
            << "the de_DE.UTF-8 locale is missing; scripts/bootstrap generates it";
        main = desktop.openWindow("[Kalmotex]");
        desktop.withdraw(main);
    }
    void TearDown() override { EXPECT_TRUE(prompts.wentAsScripted()) << prompts.report(); }

    // Entries and ignored titles as the configuration file's lines (CR LF added).
    void writeConfig(const std::string& text)
    {
        std::string bytes;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            bytes += line + "\r\n";
        dir.write("Kalmotex.ini", bytes);
        ignored.readFromFile();
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
    desktop.openWindow("Shell");
    desktop.openWindow("Minimised", false);
    desktop.clearEvents();

    transmitter.sendEntry(1);

    EXPECT_EQ(desktop.events(),
        (Events { "activate Shell", "process events", "type Shell: 50% @ 2024<Enter><Tab>Ende" }));
    EXPECT_EQ(lines.lines(),
        (Events { walkHeader, "Editor", "dfü-netzwerkmonitor", "DFÜ-Netzwerkmonitor (2)", "Shell" }));
}

// An entry number with nothing stored still activates the window and types nothing.
TEST_F(TransmitterTest, lastUsedWalkStartsAboveAVisibleMainWindowWhateverTheEntryHolds)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=x");
    desktop.openWindow("Below");
    desktop.setVisible(main, true); // now on top, the only window above it is none
    desktop.openWindow("Above");
    desktop.clearEvents();

    transmitter.sendEntry(1);
    transmitter.sendEntry(42);

    EXPECT_EQ(desktop.events(),
        (Events { "activate Above",
            "process events",
            "type Above: x",
            "activate Above",
            "process events",
            "type Above: " }));
    EXPECT_EQ(lines.lines(), (Events { walkHeader, "Above" }));
}

TEST_F(TransmitterTest, noWindowInEitherModeShowsTheMessageAndTypesNothing)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=x\n2=y\n[Title]\n2=Nirgends");
    desktop.openWindow("Kalmotex Hilfe");
    desktop.openWindow("Hidden", false);
    prompts.answerMessage(noTargetMessage);
    prompts.answerMessage(noTargetMessage);

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(typedEvents(), Events {});
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].icon, platform::PromptIcon::Critical);
    EXPECT_EQ(prompts.shown()[0].buttons, platform::PromptButtons::Ok);
    EXPECT_EQ(lines.lines(), Events { walkHeader });
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
}

TEST_F(TransmitterTest, titlesAreCutTo127CharactersBeforeMatching)
{
    const std::string longTitle = std::string(126, 'x') + "äZIEL";
    writeConfig("[Name]\n1=a\n[Text]\n1=t\n[Title]\n1=ziel");
    desktop.openWindow(longTitle);
    prompts.answerMessage(noTargetMessage);

    transmitter.sendEntry(1);

    EXPECT_EQ(typedEvents(), Events {});
    EXPECT_EQ(transmitter.windowTitle(desktop.stack().front()), std::string(126, 'x') + "ä");
}

TEST_F(TransmitterTest, dosBoxEntryPastesThroughTheClipboardBeforeTheSearch)
{
    writeConfig("[Name]\n1=a\n2=b\n[Text]\n1=dir\\N\n2=cls\n[DosBox]\n1=1\n2=1\n[Title]\n2=Fehlt");
    desktop.openWindow("xterm");
    desktop.clearEvents();
    prompts.answerMessage(noTargetMessage);

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(desktop.events(),
        (Events { "clipboard: dir\r",
            "activate xterm",
            "process events",
            "type xterm: <Shift+Insert>",
            "clipboard: cls" }));
}

TEST_F(TransmitterTest, aConsoleEntryWhoseTextTheClipboardRefusesTypesNothingAndSaysWhy)
{
    writeConfig("[Name]\n1=a\n[Text]\n1=dir\\N\n[DosBox]\n1=1");
    desktop.openWindow("xterm");
    desktop.clearEvents();
    desktop.setClipboardFails(true);
    prompts.answerMessage(
        "Der Text konnte nicht in die Zwischenablage gelegt werden.\rDie Übertragung in das "
        "Konsolenfenster wird daher abgebrochen.");

    transmitter.sendEntry(1);

    EXPECT_EQ(desktop.events(), Events { "clipboard failed" });
    EXPECT_EQ(outcomeText(transmitter.sendLog().newest(0).outcome), "abgebrochen: Tastaturfehler");
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

TEST_F(TransmitterTest, malformedKeysFailuresAndTheWayOfActivationAreReportedOnlyInDebugOutput)
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
            + handle.str() + " 'Editor': fake activation, confirmed by focus\n" + "activate 0x" + handle.str()
            + " 'Editor': not confirmed, typing anyway\n");
    EXPECT_EQ(transmitter.sendLog().newest(0).activation, "fake activation, nicht bestätigt");
    EXPECT_EQ(transmitter.sendLog().newest(1).activation, "fake activation, bestätigt durch focus");
}

// Focus guard: the user clicks elsewhere (or a dialog pops up) while a long text is typed.
std::string focusLostMessage(int typed, int total)
{
    return "Die Übertragung wurde abgebrochen, weil das Zielfenster nicht mehr aktiv ist.\rÜbertragen wurden "
        + std::to_string(typed) + " von " + std::to_string(total) + " Zeichen.";
}

TEST_F(TransmitterTest, theCountIsInCharactersAsTheUserSeesThemNotKeys)
{
    // "ä€" and a CR LF line break: two keys for the break, one character in the count.
    writeConfig("[Name]\n1=Zeilen\n[Text]\n1=ä€\\N\\Lxy\\Tz");
    const WindowHandle chat = desktop.openWindow("Chat");
    desktop.openWindow("Editor");
    prompts.answerMessage(focusLostMessage(3, 7));
    desktop.duringNextTyping(4, [&] { desktop.focus(chat); }); // ä € Enter LF
    transmitter.sendEntry(1);
}

TEST_F(TransmitterTest, aTargetThatIsNotActiveWhenTypingStartsGetsNothing)
{
    writeConfig(
        "[Name]\n1=a\n2=Konsole\n[Text]\n1=abc\n2=dir\\N\n[Title]\n1=Editor\n2=Editor\n[DosBox]\n2=1");
    const WindowHandle editor = desktop.openWindow("Editor");
    const WindowHandle chat = desktop.openWindow("Chat");
    desktop.setActivationFails(true);
    // A console entry pastes all or nothing: nothing.
    prompts.answerMessage(focusLostMessage(0, 3));
    prompts.answerMessage(focusLostMessage(0, 4));

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);

    EXPECT_EQ(desktop.received(chat), "");
    EXPECT_EQ(desktop.received(editor), "");
    EXPECT_EQ(typedEvents(), Events {});
}

TEST_F(TransmitterTest, withTheGuardSwitchedOffTheRestGoesWhereTheFocusWentAsBefore)
{
    writeConfig("[Common]\nFocusGuard=0\n[Name]\n1=Brief\n[Text]\n1=Hallo Welt");
    const WindowHandle chat = desktop.openWindow("Chat");
    const WindowHandle editor = desktop.openWindow("Editor");
    desktop.duringNextTyping(4, [&] { desktop.focus(chat); });
    transmitter.sendEntry(1);
    EXPECT_EQ(desktop.received(editor), "Hall");
    EXPECT_EQ(desktop.received(chat), "o Welt");

    // Read at every send: switched back on, the next send is guarded without a restart.
    writeConfig("[Common]\nFocusGuard=1\n[Name]\n1=Brief\n[Text]\n1=Hallo Welt");
    desktop.focus(editor);
    desktop.duringNextTyping(2, [&] { desktop.focus(chat); });
    prompts.answerMessage(focusLostMessage(2, 10));
    transmitter.sendEntry(1);
    EXPECT_EQ(desktop.received(editor), "HallHa");
    EXPECT_EQ(desktop.received(chat), "o Welt");
    EXPECT_EQ(prompts.shown().at(0).icon, platform::PromptIcon::Warning);
    EXPECT_FALSE(transmitter.isSending());
}

// Send log: one record per send asked for, newest first, never the text.
std::vector<std::string> describeLog(const SendLog& log)
{
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const SendRecord& r = log.newest(i);
        rows.push_back(formatLocalTime("%X", r.time) + " | " + r.entryName + " | " + r.targetTitle + " | "
            + describeCharacters(r) + " | " + outcomeText(r.outcome));
    }
    return rows;
}

TEST_F(TransmitterTest, theSendLogRecordsEveryOutcomeNewestFirst)
{
    writeConfig("[Name]\n1=Gruß\n2=Niemand\n3=Doppelt\n4=Lang\n[Text]\n1=Moin\n2=x\n3=yz\n4=abcdef\n"
                "[Title]\n2=Gibt es nicht\n3=Ziel");
    desktop.openWindow("Ziel A");
    desktop.openWindow("Ziel B");
    const WindowHandle chat = desktop.openWindow("Chat");
    desktop.openWindow("Editor");
    prompts.answerMessage(noTargetMessage);
    prompts.answerMessage(focusLostMessage(2, 6));

    transmitter.sendEntry(1);
    transmitter.sendEntry(2);
    chooser.pick.reset();
    transmitter.sendEntry(3);
    chooser.pick = 1;
    chooser.whileOpen = [&] { transmitter.sendEntry(1); };
    transmitter.sendEntry(3);
    chooser.whileOpen = nullptr;
    desktop.openWindow("Editor");
    desktop.duringNextTyping(2, [&] { desktop.focus(chat); });
    transmitter.sendEntry(4);

    EXPECT_EQ(describeLog(transmitter.sendLog()),
        (Events { "08:05:00 | Lang | Editor | 2 von 6 | abgebrochen: Fokus verloren",
            "08:05:00 | Doppelt | Ziel A | 2 | vollständig",
            "08:05:00 | Gruß |  | 0 | abgelehnt: Übertragung läuft",
            "08:05:00 | Doppelt |  | 0 | Auswahl abgebrochen",
            "08:05:00 | Niemand |  | 0 | kein Zielfenster",
            "08:05:00 | Gruß | Editor | 4 | vollständig" }));
}

} // namespace
} // namespace kx::transmit
