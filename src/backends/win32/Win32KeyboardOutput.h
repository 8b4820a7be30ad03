#pragma once

#include "platform/KeyboardOutput.h"

#include <chrono>

namespace kx::platform::win32 {

// Keyboard input synthesised with SendInput into the window that has the keyboard focus.
// Characters go in as Unicode packets (see KeyInputPlan.h), so the layout does not matter
// except for characters typed with modifiers. Keys go in small slices; while typing, the
// calling thread shares the target thread's input state (AttachThreadInput) and sends an
// unassigned marker key after each slice, whose key state flips once the target has taken
// the slice (bounded wait). So type() returns when the target has read every key, and the
// target's queue never overflows (Wine drops keys when hundreds are queued at once).
class Win32KeyboardOutput : public KeyboardOutput
{
public:
    // Fails when the system took fewer events than it was given (another desktop, a window
    // of higher integrity in front); the modifier keys are released in any case.
    TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) override;
    // Alt+Space opens the console window's system menu, B its editing submenu ("Bearbeiten"
    // on German systems), E its paste command ("Einfügen").
    std::string consolePasteSequence() const override { return "% BE"; }

    // How long type() waits for the user to let go of Shift, Ctrl, Alt and the Windows keys
    // before it releases them for the target (default 1 s).
    void setModifierWait(std::chrono::milliseconds wait) { m_modifierWait = wait; }

private:
    void waitForModifierRelease();

    std::chrono::milliseconds m_modifierWait { 1000 };
};

} // namespace kx::platform::win32
