#pragma once

#include <string>
#include <vector>

namespace kx::platform {
class Prompts;
}
namespace kx::store {
class IgnoredTitles;
}

namespace kx::diag {

// Opens a file in a plain-text editor without waiting for it.
class TextEditorLauncher
{
public:
    virtual ~TextEditorLauncher() = default;
    // False when no editor could be started.
    virtual bool openInEditor(const std::string& file) = 0;
};

// "&Markierten Titel in Zukunft ignorieren": `markedLine` is the index of the marked line
// of the debugger's list (-1 for none), `lines` the list. Line 0 is the search's header, so
// only a line from 1 on is a title: after the user confirms, it is added to the ignore list
// and stored at once. Without a marked title the user is told to mark one. Returns true
// when the title was added.
bool ignoreMarkedTitle(const std::vector<std::string>& lines,
    int markedLine,
    platform::Prompts& prompts,
    store::IgnoredTitles& ignoredTitles);

// "&Konfigurationsdatei manuell bearbeiten": opens the file in an editor, or says that no
// editor could be started. Nothing is re-read afterwards.
void editConfigFile(const std::string& file, TextEditorLauncher& editor, platform::Prompts& prompts);

// A program to start and its arguments.
struct LaunchCommand
{
    std::string program;
    std::vector<std::string> arguments;

    friend bool operator==(const LaunchCommand&, const LaunchCommand&) = default;
};

// The ways to open `file` in the user's own editor, best first: $VISUAL, else $EDITOR (as
// the shell reads them, so "emacs -nw" works), in a terminal: the desktop's default one
// (x-terminal-emulator), then xterm. The file is one argument, spaces and all. Empty when
// neither variable names an editor.
std::vector<LaunchCommand> terminalEditorCommands(
    const std::string& file, const std::string& visual, const std::string& editor);

} // namespace kx::diag
