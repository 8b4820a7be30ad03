#pragma once

#include <string>

namespace kx::platform {
class AutostartStore;
class Prompts;
} // namespace kx::platform

namespace kx::popup {

// The option "start with the system": the entry "[Kalmotex]" in the platform's autostart
// store, which starts the program with the argument "/AUTOSTART". The check box of the
// options dialog shows and switches it. A switch the store refuses is not shown to the user
// (the Windows registry value it stands for is not either): the box keeps the state the
// user chose, and the reason is kept for the log (lastError()).
class AutostartSwitch
{
public:
    // `executablePath` is the program file as the system reports it at start-up.
    AutostartSwitch(platform::AutostartStore& store, platform::Prompts& prompts, std::string executablePath);

    // At start-up: removes an entry named "Kalmotex" (without brackets), which the program
    // never writes itself. The own entry "[Kalmotex]" stays.
    void removeStaleEntry();

    // Whether the check box starts checked, decided when the options dialog is set up. A
    // start-up shortcut "[Kalmotex].lnk" in the platform's start-up folder is deleted and
    // replaced by the entry (a file that cannot be made writable or deleted is reported,
    // and the entry written all the same).
    bool initialState();

    // The user checked or unchecked the box: writes or removes the entry at once. False when
    // the store refused; the entry is then as it was, and lastError() says why. Nothing is
    // shown to the user.
    bool apply(bool checked);

    // The arguments the entry starts the program with.
    static constexpr const char* kArguments = "/AUTOSTART";
    // What the last store operation that failed said; "" when none failed.
    const std::string& lastError() const { return m_lastError; }

private:
    void note(const std::string& error);

    platform::AutostartStore& m_store;
    platform::Prompts& m_prompts;
    std::string m_executablePath;
    std::string m_lastError;
};

} // namespace kx::popup
