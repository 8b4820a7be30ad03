#pragma once

#include "text/Result.h"

#include <string>

namespace kx::platform {
class AutostartStore;
class Prompts;
} // namespace kx::platform

namespace kx::popup {

// The option "start with the system": the entry "[Kalmotex]" in the platform's autostart
// store, which starts the program with the argument "/AUTOSTART". The check box of the
// options dialog shows and switches it. A switch the store refuses is not shown to the user
// in a message (the Windows registry value it stands for is not either): the box keeps the
// state the user chose, and the caller logs the reason the result carries.
class AutostartSwitch
{
public:
    // `executablePath` is the program file as the system reports it at start-up.
    AutostartSwitch(platform::AutostartStore& store, platform::Prompts& prompts, std::string executablePath);

    // At start-up: removes an entry named "Kalmotex" (without brackets), which the program
    // never writes itself. The own entry "[Kalmotex]" stays. A missing entry is no failure.
    text::Result removeStaleEntry();

    // Whether the check box starts checked, decided when the options dialog is set up. A
    // start-up shortcut "[Kalmotex].lnk" in the platform's start-up folder is deleted and
    // replaced by the entry (a file that cannot be made writable or deleted is shown in a
    // message, and the entry written all the same).
    bool initialState();

    // The user checked or unchecked the box: writes or removes the entry at once. A failure
    // (the store refused) leaves the entry as it was and says why. Nothing is shown to the
    // user.
    text::Result apply(bool checked);

    // The arguments the entry starts the program with.
    static constexpr const char* kArguments = "/AUTOSTART";

private:
    platform::AutostartStore& m_store;
    platform::Prompts& m_prompts;
    std::string m_executablePath;
};

} // namespace kx::popup
