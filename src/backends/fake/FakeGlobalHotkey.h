#pragma once

#include "platform/GlobalHotkey.h"

#include <optional>
#include <vector>

namespace kx::platform {

// A global hotkey in memory, for tests: combinations that "another program" holds are
// refused, and press() stands for the user pressing the combination held.
class FakeGlobalHotkey : public GlobalHotkey
{
public:
    HotkeyResult grab(const KeyCombination& combination) override;
    void release() override { m_held.reset(); }
    void setPressedHandler(std::function<void()> pressed) override { m_pressed = std::move(pressed); }
    int eventDescriptor() const override { return -1; }
    void dispatchEvents() override { }

    // Another program holds `combination` from now on.
    void takeByOtherProgram(const KeyCombination& combination) { m_taken.push_back(combination); }
    // A key that this keyboard lacks.
    void removeKey(const std::string& key) { m_missingKeys.push_back(key); }
    // The user presses `combination`: the handler runs when it is the one held. Returns
    // whether it did.
    bool press(const KeyCombination& combination);

    const std::optional<KeyCombination>& held() const { return m_held; }
    int grabCount() const { return m_grabCount; }

private:
    std::optional<KeyCombination> m_held;
    std::vector<KeyCombination> m_taken;
    std::vector<std::string> m_missingKeys;
    std::function<void()> m_pressed;
    int m_grabCount = 0;
};

} // namespace kx::platform
