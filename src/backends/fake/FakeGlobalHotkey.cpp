#include "backends/fake/FakeGlobalHotkey.h"

#include <algorithm>

namespace kx::platform {

HotkeyResult FakeGlobalHotkey::grab(const KeyCombination& combination)
{
    m_held.reset();
    ++m_grabCount;
    if (std::find(m_missingKeys.begin(), m_missingKeys.end(), combination.key) != m_missingKeys.end())
        return { HotkeyStatus::KeyUnavailable, "grab key '" + combination.key + "': not on this keyboard" };
    if (std::find(m_taken.begin(), m_taken.end(), combination) != m_taken.end())
        return { HotkeyStatus::Taken, "grab key '" + combination.key + "': held by another program" };
    m_held = combination;
    return {};
}

bool FakeGlobalHotkey::press(const KeyCombination& combination)
{
    if (m_held != combination || !m_pressed)
        return false;
    m_pressed();
    return true;
}

} // namespace kx::platform
