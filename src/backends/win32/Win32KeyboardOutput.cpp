#include "backends/win32/Win32KeyboardOutput.h"

#include "backends/win32/KeyInputPlan.h"
#include "backends/win32/WideText.h"

#include <windows.h>

#include <initializer_list>
#include <thread>

namespace kx::platform::win32 {

namespace {

constexpr int kModifierKeys[]
    = { VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN };

bool isDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

INPUT keyEvent(WORD vk, bool up)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return input;
}

KeyLayout systemLayout()
{
    return KeyLayout {
        [](wchar_t c) { return VkKeyScanW(c); },
        [](WORD vk) { return static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)); },
    };
}

// Large texts go in slices, each after the target has caught up with the one before, so
// its message queue never holds more than a slice.
constexpr std::size_t kSliceEvents = 16;
constexpr auto kSliceTimeout = std::chrono::seconds(5);

// Two unassigned virtual keys taking turns: each slice ends by pressing one, the next
// slice begins by releasing it. They do nothing in the target, but its key state shows the
// key down once it has taken everything sent before the press.
constexpr WORD kMarkerKeys[] = { 0x97, 0x98 };

// Whether the marker is down in this thread's (attached: the target's) key state.
// GetKeyboardState, unlike GetKeyState, is not served from a cache under Wine.
// Not the toggle bit: attaching clears the shared key state, and a target that has emptied
// its queue gets the keyboard's key state again, whose toggle bits were not cleared. Compared
// before and after a slice, a marker's toggle bit then may not change at all (after a send
// that left it toggled), and the wait would run into its timeout.
bool markerDown(WORD marker)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    return (state[marker] & 0x80) != 0;
}

} // namespace

void Win32KeyboardOutput::waitForModifierRelease()
{
    // Typed text must not turn into shortcuts (Ctrl+letter, Alt+letter opening menus).
    const auto deadline = std::chrono::steady_clock::now() + m_modifierWait;
    for (;;) {
        std::vector<INPUT> held;
        for (const int vk : kModifierKeys)
            if (isDown(vk))
                held.push_back(keyEvent(static_cast<WORD>(vk), true));
        if (held.empty())
            return;
        if (std::chrono::steady_clock::now() >= deadline) {
            // Held for longer than anyone presses a key on purpose: release them for the
            // target rather than send shortcuts.
            SendInput(static_cast<UINT>(held.size()), held.data(), sizeof(INPUT));
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TypingResult Win32KeyboardOutput::type(const KeyStrokes& strokes, const TypingGuard& guard)
{
    TypingResult result;
    waitForModifierRelease();
    std::vector<std::size_t> eventsAfterStroke;
    const std::vector<INPUT> inputs = planKeyInputs(strokes, systemLayout(), &eventsAfterStroke);
    // Attached to the target's thread, this thread shares its input queue and key state:
    // GetKeyState here then changes when the target has taken a key, which tells when a
    // slice has arrived. This thread takes no message off the queue meanwhile.
    const HWND foreground = GetForegroundWindow();
    const DWORD target = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const DWORD own = GetCurrentThreadId();
    const bool attached = target != 0 && target != own && AttachThreadInput(own, target, TRUE);

    // Slices end between strokes, so a key's modifiers are never cut from their release
    // and the guard can tell how many strokes went out whole.
    std::size_t stroke = 0;
    std::size_t slices = 0;
    WORD heldMarker = 0;
    for (std::size_t start = 0; start < inputs.size();) {
        if (guard && !guard()) {
            result.stoppedByGuard = true;
            break;
        }
        std::size_t end = start;
        while (stroke < eventsAfterStroke.size() && (end - start < kSliceEvents || end == start))
            end = eventsAfterStroke[stroke++];
        while (stroke < eventsAfterStroke.size() && eventsAfterStroke[stroke] == end)
            ++stroke; // strokes that add no event (an LF after Enter) go with the one before
        std::vector<INPUT> slice;
        if (heldMarker)
            slice.push_back(keyEvent(heldMarker, true));
        slice.insert(slice.end(),
            inputs.begin() + static_cast<std::ptrdiff_t>(start),
            inputs.begin() + static_cast<std::ptrdiff_t>(end));
        const WORD marker = attached ? kMarkerKeys[slices++ % 2] : 0;
        if (marker)
            slice.push_back(keyEvent(marker, false));
        const UINT count = static_cast<UINT>(slice.size());
        SetLastError(0);
        const UINT sent = SendInput(count, slice.data(), sizeof(INPUT));
        if (sent != count) {
            result.ok = false;
            result.error = "SendInput: " + std::to_string(sent) + " of " + std::to_string(count)
                + " key events taken: " + systemErrorText(GetLastError());
            // Nothing we pressed may stay down.
            std::vector<INPUT> release;
            for (const WORD vk :
                std::initializer_list<WORD> { VK_SHIFT, VK_CONTROL, VK_MENU, kMarkerKeys[0], kMarkerKeys[1] })
                release.push_back(keyEvent(vk, true));
            SendInput(static_cast<UINT>(release.size()), release.data(), sizeof(INPUT));
            heldMarker = 0;
            break;
        }
        heldMarker = marker;
        if (marker) {
            // Attaching cleared the key state, and this marker's release went ahead of the
            // press the last wait saw: it shows down only once the target took this press.
            const auto deadline = std::chrono::steady_clock::now() + kSliceTimeout;
            while (!markerDown(marker) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        start = end;
        result.strokesTyped = stroke;
    }
    if (heldMarker) {
        INPUT release = keyEvent(heldMarker, true);
        SendInput(1, &release, sizeof(INPUT));
    }
    if (inputs.empty() && !(guard && !guard()))
        result.strokesTyped = strokes.size();
    else if (inputs.empty())
        result.stoppedByGuard = true;
    if (attached)
        AttachThreadInput(own, target, FALSE);
    if (foreground && target != own) {
        // A sent message is answered only when the target's thread is back in its message
        // loop, i.e. done with the last key it took.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &answer);
    }
    return result;
}

} // namespace kx::platform::win32
