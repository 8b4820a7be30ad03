#pragma once

#include "platform/GlobalHotkey.h"

#include <map>
#include <optional>
#include <vector>

namespace kx::platform {

// Global hotkeys in memory, for tests: combinations that "another program" holds are
// refused, and press() stands for the user pressing a combination.
class FakeGlobalHotkey : public GlobalHotkey
{
public:
    HotkeyResult grab(int id, const KeyCombination& combination) override;
    void release(int id) override { m_held.erase(id); }
    void releaseAll() override { m_held.clear(); }
    void setPressedHandler(std::function<void(int)> pressed) override { m_pressed = std::move(pressed); }
    int eventDescriptor() const override { return -1; }
    void dispatchEvents() override { }

    // Another program holds `combination` from now on.
    void takeByOtherProgram(const KeyCombination& combination) { m_taken.push_back(combination); }
    // A key that this keyboard lacks.
    void removeKey(const std::string& key) { m_missingKeys.push_back(key); }
    // The user presses `combination`: the handler runs when an id holds it. Returns
    // whether it did.
    bool press(const KeyCombination& combination);

    // The combination `id` holds, if any.
    std::optional<KeyCombination> held(int id) const;
    bool holdsAny() const { return !m_held.empty(); }

private:
    std::map<int, KeyCombination> m_held;
    std::vector<KeyCombination> m_taken;
    std::vector<std::string> m_missingKeys;
    std::function<void(int)> m_pressed;
};

} // namespace kx::platform
