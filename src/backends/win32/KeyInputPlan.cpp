#include "backends/win32/KeyInputPlan.h"

namespace kx::platform::win32 {

namespace {

class Planner
{
public:
    explicit Planner(const KeyLayout& layout)
        : m_layout(layout)
    {
    }

    void key(VirtualKey vk, std::uint8_t modifiers)
    {
        const std::vector<VirtualKey> held = modifierKeys(modifiers);
        for (const VirtualKey& m : held)
            keyEvent(m, false);
        keyEvent(vk, false);
        keyEvent(vk, true);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            keyEvent(*it, true);
    }

    void unicode(char32_t character, std::uint8_t modifiers)
    {
        const std::vector<VirtualKey> held = modifierKeys(modifiers);
        for (const VirtualKey& m : held)
            keyEvent(m, false);
        // UTF-16: characters beyond the Basic Multilingual Plane go as a surrogate pair,
        // each half its own packet; the target's message loop joins the two WM_CHARs.
        if (character >= 0x10000) {
            const char32_t offset = character - 0x10000;
            unicodeUnit(static_cast<wchar_t>(0xD800 + (offset >> 10)));
            unicodeUnit(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            unicodeUnit(static_cast<wchar_t>(character));
        }
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            keyEvent(*it, true);
    }

    void character(char32_t c, std::uint8_t modifiers)
    {
        if (modifiers == NoModifier || c >= 0x10000) {
            unicode(c, modifiers);
            return;
        }
        const SHORT scan = m_layout.keyForCharacter ? m_layout.keyForCharacter(static_cast<wchar_t>(c)) : -1;
        if (scan == -1 || (scan & 0xFF) == 0xFF) {
            unicode(c, modifiers);
            return;
        }
        // The layout's own shift state (Shift for "A", AltGr for "@" on German keyboards)
        // joins the modifiers asked for.
        const unsigned layoutState = static_cast<unsigned>(scan >> 8) & 0x7;
        std::uint8_t all = modifiers;
        if (layoutState & 1)
            all |= Shift;
        if (layoutState & 2)
            all |= Ctrl;
        if (layoutState & 4)
            all |= Alt;
        key(VirtualKey { static_cast<WORD>(scan & 0xFF), false }, all);
    }

    std::vector<INPUT> take() { return std::move(m_inputs); }
    std::size_t size() const { return m_inputs.size(); }

private:
    static std::vector<VirtualKey> modifierKeys(std::uint8_t modifiers)
    {
        std::vector<VirtualKey> keys;
        if (modifiers & Shift)
            keys.push_back({ VK_SHIFT, false });
        if (modifiers & Ctrl)
            keys.push_back({ VK_CONTROL, false });
        if (modifiers & Alt)
            keys.push_back({ VK_MENU, false });
        return keys;
    }

    void keyEvent(VirtualKey vk, bool up)
    {
        INPUT input {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk.code;
        input.ki.wScan = m_layout.scanCode ? m_layout.scanCode(vk.code) : 0;
        input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (vk.extended ? KEYEVENTF_EXTENDEDKEY : 0);
        m_inputs.push_back(input);
    }

    void unicodeUnit(wchar_t unit)
    {
        for (const bool up : { false, true }) {
            INPUT input {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(unit);
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            m_inputs.push_back(input);
        }
    }

    const KeyLayout& m_layout;
    std::vector<INPUT> m_inputs;
};

} // namespace

VirtualKey virtualKeyFor(NamedKey key)
{
    switch (key) {
    case NamedKey::Character:
        return {};
    case NamedKey::Enter:
        return { VK_RETURN, false };
    case NamedKey::Tab:
        return { VK_TAB, false };
    case NamedKey::Backspace:
        return { VK_BACK, false };
    case NamedKey::Break:
        return { VK_CANCEL, false };
    case NamedKey::CapsLock:
        return { VK_CAPITAL, false };
    case NamedKey::Clear:
        return { VK_CLEAR, false };
    case NamedKey::Delete:
        return { VK_DELETE, true };
    case NamedKey::Down:
        return { VK_DOWN, true };
    case NamedKey::End:
        return { VK_END, true };
    case NamedKey::Escape:
        return { VK_ESCAPE, false };
    case NamedKey::Help:
        return { VK_HELP, false };
    case NamedKey::Home:
        return { VK_HOME, true };
    case NamedKey::Insert:
        return { VK_INSERT, true };
    case NamedKey::Left:
        return { VK_LEFT, true };
    case NamedKey::NumLock:
        return { VK_NUMLOCK, true };
    case NamedKey::PageDown:
        return { VK_NEXT, true };
    case NamedKey::PageUp:
        return { VK_PRIOR, true };
    case NamedKey::PrintScreen:
        return { VK_SNAPSHOT, true };
    case NamedKey::Right:
        return { VK_RIGHT, true };
    case NamedKey::ScrollLock:
        return { VK_SCROLL, false };
    case NamedKey::Up:
        return { VK_UP, true };
    case NamedKey::F1:
    case NamedKey::F2:
    case NamedKey::F3:
    case NamedKey::F4:
    case NamedKey::F5:
    case NamedKey::F6:
    case NamedKey::F7:
    case NamedKey::F8:
    case NamedKey::F9:
    case NamedKey::F10:
    case NamedKey::F11:
    case NamedKey::F12:
    case NamedKey::F13:
    case NamedKey::F14:
    case NamedKey::F15:
    case NamedKey::F16:
        return { static_cast<WORD>(VK_F1 + (static_cast<int>(key) - static_cast<int>(NamedKey::F1))), false };
    case NamedKey::Add:
        return { VK_ADD, false };
    case NamedKey::Subtract:
        return { VK_SUBTRACT, false };
    case NamedKey::Multiply:
        return { VK_MULTIPLY, false };
    case NamedKey::Divide:
        return { VK_DIVIDE, true };
    }
    return {};
}

std::vector<INPUT> planKeyInputs(
    const KeyStrokes& strokes, const KeyLayout& layout, std::vector<std::size_t>* eventsAfterStroke)
{
    Planner plan(layout);
    bool afterEnter = false;
    if (eventsAfterStroke)
        eventsAfterStroke->clear();
    for (const KeyStroke& stroke : strokes) {
        const bool enterBefore = afterEnter;
        afterEnter = false;
        if (stroke.key != NamedKey::Character) {
            plan.key(virtualKeyFor(stroke.key), stroke.modifiers);
            afterEnter = stroke.key == NamedKey::Enter;
            if (eventsAfterStroke)
                eventsAfterStroke->push_back(plan.size());
            continue;
        }
        switch (stroke.character) {
        case U'\n':
            // Edit controls turn Enter into CR LF themselves.
            if (enterBefore && stroke.modifiers == NoModifier)
                break;
            [[fallthrough]];
        case U'\r':
            plan.key({ VK_RETURN, false }, stroke.modifiers);
            afterEnter = true;
            break;
        case U'\t':
            plan.key({ VK_TAB, false }, stroke.modifiers);
            break;
        case U'\b':
            plan.key({ VK_BACK, false }, stroke.modifiers);
            break;
        default:
            plan.character(stroke.character, stroke.modifiers);
        }
        if (eventsAfterStroke)
            eventsAfterStroke->push_back(plan.size());
    }
    return plan.take();
}

} // namespace kx::platform::win32
