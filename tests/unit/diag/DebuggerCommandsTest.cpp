#include "diag/DebuggerCommands.h"

#include "support/SendStack.h"

#include <gtest/gtest.h>

namespace kx::diag {
namespace {

using platform::PromptAnswer;
using Lines = std::vector<std::string>;

const std::string markFirst = "Bitte markieren Sie zunächst den betreffenden Fenstertitel";
const Lines walk { "--- 09:05:03 --------------------------------------------", "Editor", "Werkzeugleiste" };

const std::string original = "[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n";

class IgnoreMarkedTitleTest : public testing::Test, public test::SendStack
{
protected:
    IgnoreMarkedTitleTest()
        : SendStack(original)
    {
        ignored.readFromFile();
    }
    void TearDown() override { EXPECT_TRUE(prompts.wentAsScripted()) << prompts.report(); }
};

// "Yes" adds the title: aListRewrittenWhileTheQuestionIsOpenStillAddsTheTitleAsked; the line
// it appends to the file: CliTest and e2e diag_windows.
TEST_F(IgnoreMarkedTitleTest, noOrNoMarkedTitleChangesNothing)
{
    prompts.answerMessage("Soll der Fenstertitel 'Editor'\rin Zukunft wirklich immer ignoriert werden?",
        PromptAnswer::No);
    EXPECT_FALSE(ignoreMarkedTitle(walk, 1, prompts, ignored));
    EXPECT_EQ(prompts.shown().at(0).icon, platform::PromptIcon::Question);
    EXPECT_EQ(prompts.shown().at(0).buttons, platform::PromptButtons::YesNo);
    // The header line or no marked line asks for a title.
    for (const int marked : { -1, 0, 3 }) {
        prompts.answerMessage(markFirst);
        EXPECT_FALSE(ignoreMarkedTitle(walk, marked, prompts, ignored)) << marked;
        EXPECT_EQ(prompts.shown().back().icon, platform::PromptIcon::Information);
    }
    EXPECT_EQ(ignored.titles(), std::vector<std::string> { "DFÜ-Netzwerkmonitor" });
    EXPECT_EQ(test::readBytes(file), original);
}

TEST_F(IgnoreMarkedTitleTest, aListRewrittenWhileTheQuestionIsOpenStillAddsTheTitleAsked)
{
    // A send handled in the message box's event loop rewrites the debugger's list.
    class RewritingPrompts : public test::ScriptedPrompts
    {
    public:
        Lines* lines = nullptr;
        PromptAnswer message(const std::string& text,
            platform::PromptIcon icon,
            platform::PromptButtons buttons,
            PromptAnswer defaultAnswer) override
        {
            *lines = { "--- header", "Other" };
            return ScriptedPrompts::message(text, icon, buttons, defaultAnswer);
        }
    } rewriting;
    Lines shown = walk;
    rewriting.lines = &shown;
    rewriting.answerMessage(
        "Soll der Fenstertitel 'Werkzeugleiste'\rin Zukunft wirklich immer ignoriert werden?",
        PromptAnswer::Yes);
    EXPECT_TRUE(ignoreMarkedTitle(shown, 2, rewriting, ignored));
    EXPECT_TRUE(ignored.contains("Werkzeugleiste"));
    EXPECT_TRUE(rewriting.wentAsScripted()) << rewriting.report();
}

struct FixedEditor : TextEditorLauncher
{
    bool openInEditor(const std::string& file) override
    {
        opened.push_back(file);
        return starts;
    }
    bool starts = true;
    Lines opened;
};

TEST(EditConfigFileTest, opensTheFileOrSaysInGermanThatNoEditorStarted)
{
    test::ScriptedPrompts prompts;
    FixedEditor works;
    editConfigFile("/home/a b/Kalmotex.ini", works, prompts);
    EXPECT_EQ(works.opened, Lines { "/home/a b/Kalmotex.ini" });
    EXPECT_TRUE(prompts.shown().empty());

    FixedEditor fails;
    fails.starts = false;
    prompts.answerMessage("Es konnte kein Texteditor gestartet werden.\rBitte öffnen Sie die "
                          "Konfigurationsdatei selbst:\r/k/Kalmotex.ini\r(Ein Editor kann mit der "
                          "Umgebungsvariablen VISUAL oder EDITOR gewählt werden.)");
    editConfigFile("/k/Kalmotex.ini", fails, prompts);
    EXPECT_TRUE(prompts.wentAsScripted()) << prompts.report();
}

TEST(TerminalEditorCommandsTest, theUsersEditorRunsInATerminalWithTheFileAsOneArgument)
{
    const struct
    {
        const char* name;
        std::string visual;
        std::string editor;
        std::string script; // what sh -c runs; empty = no terminal command at all
    } rows[] = {
        { "VISUAL wins", "gvim -f", "nano", "gvim -f \"$1\"" },
        { "EDITOR without VISUAL", "", "nano", "nano \"$1\"" },
        { "blank VISUAL counts as unset", "  ", "vi", "vi \"$1\"" },
        { "neither", "", "", "" },
        { "blank EDITOR", "", "\t", "" },
    };
    const std::string file = "/home/a b/Kalmotex 'neu'.ini";
    for (const auto& row : rows) {
        const std::vector<LaunchCommand> commands = terminalEditorCommands(file, row.visual, row.editor);
        if (row.script.empty()) {
            EXPECT_TRUE(commands.empty()) << row.name;
            continue;
        }
        const Lines arguments { "-e", "sh", "-c", row.script, "sh", file };
        EXPECT_EQ(commands,
            (std::vector<LaunchCommand> { { "x-terminal-emulator", arguments }, { "xterm", arguments } }))
            << row.name;
    }
}

} // namespace
} // namespace kx::diag
