#pragma once

#include "platform/WindowSystem.h"

namespace kx::platform {

// What the desktop is told about the program's own special windows, beyond what the GUI
// toolkit's window flags say.
class WindowStates
{
public:
    virtual ~WindowStates() = default;

    // Makes `window` a strip along a screen edge: kept above other windows, never given the
    // keyboard focus, left out of the task bar and pager, and left where it asks to be. Call
    // it while the window is not shown; it has taken effect when this returns.
    virtual void makeScreenEdgeStrip(WindowHandle window) = 0;
};

} // namespace kx::platform
