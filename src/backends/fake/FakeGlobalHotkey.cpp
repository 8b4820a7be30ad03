#include "backends/fake/FakeGlobalHotkey.h"

#include <algorithm>

namespace kx::platform {

HotkeyResult FakeGlobalHotkey::grab(int id, const KeyCombination& combination)
{
    m_held.erase(id);
    if (std::find(m_missingKeys.begin(), m_missingKeys.end(), combination.key) != m_missingKeys.end())
        return { HotkeyStatus::KeyUnavailable, "grab key '" + combination.key + "': not on this keyboard" };
    if (std::find(m_taken.begin(), m_taken.end(), combination) != m_taken.end())
        return { HotkeyStatus::Taken, "grab key '" + combination.key + "': held by another program" };
    m_held[id] = combination;
    return {};
}

bool FakeGlobalHotkey::press(const KeyCombination& combination)
{
    const auto held = std::find_if(m_held.begin(), m_held.end(), [&](const auto& grab) {
        return grab.second == combination;
    });
    if (held == m_held.end() || !m_pressed)
        return false;
    m_pressed(held->first);
    return true;
}

std::optional<KeyCombination> FakeGlobalHotkey::held(int id) const
{
    const auto held = m_held.find(id);
    return held == m_held.end() ? std::nullopt : std::optional(held->second);
}

} // namespace kx::platform
