#pragma once

#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/KeyboardOutput.h"
#include "platform/WindowInventory.h"
#include "platform/WindowSystem.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kx::platform {

// An in-memory desktop for tests: top-level windows with titles, visibility and a stacking
// order, one focused window, a keyboard that records what each window received and a
// clipboard that records what was put on it, and the program's event queue. Everything
// that happens is also appended to one event log, so a test can compare a whole send in
// one go:
//   "activate Editor", "process events", "type Editor: A<Enter>B", "clipboard: dir\r".
class FakeDesktop : public WindowSystem,
                    public WindowInventory,
                    public KeyboardOutput,
                    public Clipboard,
                    public EventPump
{
public:
    FakeDesktop() = default;

    // A new window on top of the stack (a visible one also takes the focus, as a freshly
    // opened window does). Handles start at 0x100 and are never reused.
    WindowHandle openWindow(const std::string& title, bool visible = true);
    // Removes the window; the focus falls to nobody when it had it.
    void closeWindow(WindowHandle window);
    void setTitle(WindowHandle window, const std::string& title);
    // Hidden windows keep their place in the stack (like an iconified window).
    void setVisible(WindowHandle window, bool visible);
    // Hides the window and takes it out of the stack, as X11 does with an unmapped window:
    // it then counts as below every window. `setVisible(window, true)` brings it back on top.
    void withdraw(WindowHandle window);
    void raise(WindowHandle window);
    void focus(WindowHandle window);

    // Top first, withdrawn windows excluded.
    const std::vector<WindowHandle>& stack() const { return m_stack; }
    // Everything the window received from the keyboard, as describeKeyStrokes writes it.
    std::string received(WindowHandle window) const;
    // What was typed while no window had the focus.
    const std::string& receivedByNobody() const { return m_unfocusedReceived; }
    // Every text put on the clipboard, oldest first; the last one is what it holds.
    const std::vector<std::string>& clipboardHistory() const { return m_clipboard; }
    std::string clipboardText() const { return m_clipboard.empty() ? std::string() : m_clipboard.back(); }
    const std::vector<std::string>& events() const { return m_events; }
    void clearEvents() { m_events.clear(); }

    // Failure switches for the paths where the system refuses.
    void setActivationFails(bool fails) { m_activationFails = fails; }
    void setTypingFails(bool fails) { m_typingFails = fails; }
    void setClipboardFails(bool fails) { m_clipboardFails = fails; }
    void setConsolePasteSequence(std::string sequence) { m_consolePaste = std::move(sequence); }

    // Something the program handles at its next pass of event processing (a timer, a
    // repaint, a click that reached it anyway); runs once.
    void post(std::function<void()> event) { m_pending.push_back(std::move(event)); }
    // Runs while activate() waits for the window to become active, before it is; once.
    void duringNextActivation(std::function<void()> action) { m_duringActivation = std::move(action); }
    // Runs once the next typing has typed `keys` keys, as a user clicking elsewhere in the
    // middle of a send; the keys after it go to whichever window has the focus then.
    void duringNextTyping(std::size_t keys, std::function<void()> action)
    {
        m_duringTyping = { keys, std::move(action) };
    }

    // WindowSystem (titles and visibility also for WindowInventory, whose stack is the same)
    std::vector<WindowHandle> topLevelWindows() override;
    WindowHandle windowAbove(WindowHandle window) override;
    std::string windowTitle(WindowHandle window) override;
    bool isWindowVisible(WindowHandle window) override;
    ActivationResult activate(WindowHandle window) override;
    bool hasKeyboardFocus(WindowHandle window) override { return window != 0 && window == m_focused; }

    // WindowInventory
    std::vector<WindowHandle> stackBottomUp() override { return { m_stack.rbegin(), m_stack.rend() }; }

    // KeyboardOutput: asks the guard before every key (batches of one) and logs a stop
    // as "typing stopped after 3 of 10 keys".
    TypingResult type(const KeyStrokes& strokes, const TypingGuard& guard = {}) override;
    std::string consolePasteSequence() const override { return m_consolePaste; }

    // Clipboard
    text::Result setText(const std::string& text) override;
    std::string readText() override { return clipboardText(); }

    // EventPump: logs "process events", then runs what was posted.
    void processPendingEvents() override;

private:
    struct Window
    {
        std::string title;
        bool visible = true;
        std::string received;
    };

    Window* find(WindowHandle window);
    const Window* find(WindowHandle window) const;
    void unstack(WindowHandle window);
    std::string nameOf(WindowHandle window) const;
    void deliver(WindowHandle window, const KeyStrokes& strokes);

    std::map<WindowHandle, Window> m_windows;
    std::vector<WindowHandle> m_stack; // top first
    WindowHandle m_focused = 0;
    WindowHandle m_nextHandle = 0x100;
    std::string m_unfocusedReceived;
    std::vector<std::string> m_clipboard;
    std::vector<std::string> m_events;
    std::string m_consolePaste = "+{INSERT}";
    bool m_activationFails = false;
    bool m_typingFails = false;
    bool m_clipboardFails = false;
    std::vector<std::function<void()>> m_pending;
    std::function<void()> m_duringActivation;
    std::pair<std::size_t, std::function<void()>> m_duringTyping;
};

} // namespace kx::platform
