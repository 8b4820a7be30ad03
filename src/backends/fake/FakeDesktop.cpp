#include "backends/fake/FakeDesktop.h"

#include <algorithm>
#include <utility>

namespace kx::platform {

WindowHandle FakeDesktop::openWindow(const std::string& title, bool visible)
{
    const WindowHandle handle = m_nextHandle++;
    m_windows[handle] = Window { title, visible, {} };
    m_stack.insert(m_stack.begin(), handle);
    if (visible)
        m_focused = handle;
    return handle;
}

void FakeDesktop::closeWindow(WindowHandle window)
{
    unstack(window);
    m_windows.erase(window);
    if (m_focused == window)
        m_focused = 0;
}

void FakeDesktop::setTitle(WindowHandle window, const std::string& title)
{
    if (Window* w = find(window))
        w->title = title;
}

void FakeDesktop::setVisible(WindowHandle window, bool visible)
{
    Window* w = find(window);
    if (!w)
        return;
    w->visible = visible;
    if (visible && std::find(m_stack.begin(), m_stack.end(), window) == m_stack.end())
        m_stack.insert(m_stack.begin(), window);
}

void FakeDesktop::withdraw(WindowHandle window)
{
    Window* w = find(window);
    if (!w)
        return;
    w->visible = false;
    unstack(window);
    if (m_focused == window)
        m_focused = 0;
}

void FakeDesktop::raise(WindowHandle window)
{
    if (!find(window))
        return;
    unstack(window);
    m_stack.insert(m_stack.begin(), window);
}

void FakeDesktop::focus(WindowHandle window)
{
    if (find(window))
        m_focused = window;
}

std::string FakeDesktop::received(WindowHandle window) const
{
    const Window* w = find(window);
    return w ? w->received : std::string();
}

std::vector<WindowHandle> FakeDesktop::topLevelWindows() { return m_stack; }

WindowHandle FakeDesktop::windowAbove(WindowHandle window)
{
    const auto it = std::find(m_stack.begin(), m_stack.end(), window);
    if (it == m_stack.end())
        return m_stack.empty() ? 0 : m_stack.back();
    return it == m_stack.begin() ? 0 : *(it - 1);
}

std::string FakeDesktop::windowTitle(WindowHandle window)
{
    const Window* w = find(window);
    return w ? w->title : std::string();
}

bool FakeDesktop::isWindowVisible(WindowHandle window)
{
    const Window* w = find(window);
    return w && w->visible;
}

ActivationResult FakeDesktop::activate(WindowHandle window)
{
    m_events.push_back("activate " + nameOf(window));
    if (m_duringActivation)
        std::exchange(m_duringActivation, nullptr)();
    Window* w = find(window);
    if (m_activationFails || !w)
        return { false, "fake activation", {}, {} };
    w->visible = true;
    raise(window);
    m_focused = window;
    return { true, "fake activation", "focus", {} };
}

TypingResult FakeDesktop::type(const KeyStrokes& strokes, const TypingGuard& guard)
{
    if (m_typingFails) {
        m_events.push_back("type failed");
        return { false, "fake keyboard: typing switched off" };
    }
    TypingResult result;
    if (strokes.empty()) {
        deliver(m_focused, {});
        return result;
    }
    // Consecutive keys that reached the same window make one "type" event.
    KeyStrokes run;
    WindowHandle runWindow = 0;
    for (const KeyStroke& stroke : strokes) {
        if (guard && !guard()) {
            result.stoppedByGuard = true;
            break;
        }
        if (!run.empty() && runWindow != m_focused)
            deliver(runWindow, std::exchange(run, {}));
        runWindow = m_focused;
        run.push_back(stroke);
        ++result.strokesTyped;
        if (m_duringTyping.second && result.strokesTyped == m_duringTyping.first)
            std::exchange(m_duringTyping, {}).second();
    }
    if (!run.empty())
        deliver(runWindow, run);
    if (result.stoppedByGuard)
        m_events.push_back("typing stopped after " + std::to_string(result.strokesTyped) + " of "
            + std::to_string(strokes.size()) + " keys");
    return result;
}

void FakeDesktop::deliver(WindowHandle window, const KeyStrokes& strokes)
{
    const std::string text = describeKeyStrokes(strokes);
    m_events.push_back("type " + nameOf(window) + ": " + text);
    if (Window* w = find(window))
        w->received += text;
    else
        m_unfocusedReceived += text;
}

text::Result FakeDesktop::setText(const std::string& text)
{
    if (m_clipboardFails) {
        m_events.push_back("clipboard failed");
        return text::Result::failure("clipboard: refused by the fake desktop");
    }
    m_events.push_back("clipboard: " + text);
    m_clipboard.push_back(text);
    return {};
}

void FakeDesktop::processPendingEvents()
{
    m_events.push_back("process events");
    // An event may post another one; that waits for the next pass.
    for (const auto& event : std::exchange(m_pending, {}))
        event();
}

FakeDesktop::Window* FakeDesktop::find(WindowHandle window)
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : &it->second;
}

const FakeDesktop::Window* FakeDesktop::find(WindowHandle window) const
{
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : &it->second;
}

void FakeDesktop::unstack(WindowHandle window)
{
    m_stack.erase(std::remove(m_stack.begin(), m_stack.end(), window), m_stack.end());
}

std::string FakeDesktop::nameOf(WindowHandle window) const
{
    const Window* w = find(window);
    if (!w)
        return window == 0 ? "(nobody)" : "(gone)";
    return w->title.empty() ? "(untitled)" : w->title;
}

} // namespace kx::platform
