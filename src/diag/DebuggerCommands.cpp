#include "diag/DebuggerCommands.h"

#include "platform/Prompts.h"
#include "store/IgnoredTitles.h"

namespace kx::diag {

using platform::PromptAnswer;
using platform::PromptButtons;
using platform::PromptIcon;

bool ignoreMarkedTitle(const std::vector<std::string>& lines,
    int markedLine,
    platform::Prompts& prompts,
    store::IgnoredTitles& ignoredTitles)
{
    if (markedLine < 1 || static_cast<std::size_t>(markedLine) >= lines.size()) {
        prompts.message("Bitte markieren Sie zunächst den betreffenden Fenstertitel",
            PromptIcon::Information,
            PromptButtons::Ok,
            PromptAnswer::Ok);
        return false;
    }
    // A copy: a send handled while the question is open may rewrite the list.
    const std::string title = lines[static_cast<std::size_t>(markedLine)];
    const PromptAnswer answer = prompts.message("Soll der Fenstertitel '" + title
            + "'\rin Zukunft wirklich immer ignoriert werden?",
        PromptIcon::Question,
        PromptButtons::YesNo,
        PromptAnswer::Yes);
    if (answer != PromptAnswer::Yes)
        return false;
    // A failed write still ignores the title for this run; the send reads the list held.
    static_cast<void>(ignoredTitles.addIgnoredTitle(title));
    return true;
}

void editConfigFile(const std::string& file, TextEditorLauncher& editor, platform::Prompts& prompts)
{
    if (editor.openInEditor(file))
        return;
    prompts.message("Es konnte kein Texteditor gestartet werden.\rBitte öffnen Sie die Konfigurationsdatei "
                    "selbst:\r"
            + file + "\r(Ein Editor kann mit der Umgebungsvariablen VISUAL oder EDITOR gewählt werden.)",
        PromptIcon::Information,
        PromptButtons::Ok,
        PromptAnswer::Ok);
}

std::vector<LaunchCommand> terminalEditorCommands(
    const std::string& file, const std::string& visual, const std::string& editor)
{
    const std::string& chosen = visual.find_first_not_of(" \t") != std::string::npos ? visual : editor;
    if (chosen.find_first_not_of(" \t") == std::string::npos)
        return {};
    // As git runs $EDITOR: the shell splits the variable, the file comes in as "$1".
    const std::vector<std::string> shell { "-e", "sh", "-c", chosen + " \"$1\"", "sh", file };
    return { { "x-terminal-emulator", shell }, { "xterm", shell } };
}

} // namespace kx::diag
