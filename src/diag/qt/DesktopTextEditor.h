#pragma once

#include "diag/DebuggerCommands.h"

namespace kx::diag {

// The user's editor ($VISUAL, else $EDITOR) in a terminal; without one, or when no
// terminal starts, the desktop's default program for the file (xdg-open on Linux, the
// shell on Windows). The variables are read at each call.
class DesktopTextEditor : public TextEditorLauncher
{
public:
    bool openInEditor(const std::string& file) override;
};

} // namespace kx::diag
