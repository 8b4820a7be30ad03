#pragma once

#include "app/InstanceChannel.h"

#include <string>

namespace kx::platform {
class InstanceClient;
}

namespace kx::app::cli {

class CommandTable;

// Where the running program listens, and how a message names its session ("display :0").
struct InstanceTarget
{
    std::string address;
    std::string session;
};

// The target on an X11 or Wayland display, from the environment.
InstanceTarget displayInstanceTarget(const InstanceEnvironment& environment);

// send N: asks the kalmotex running on this display to send entry N, as a click on the
// entry in its popup menu does. Exit 0 when the keys were typed; 1 when no kalmotex runs,
// it is busy, there is no entry N, or nothing was typed. The configuration is the running
// program's; --config has no effect.
// menu: asks it to open its popup menu at the pointer, as its hotkey does; for a desktop's
// own key binding where no hotkey can be grabbed (Wayland). Exit 0 when the menu opens; 1
// when no kalmotex runs or it is busy. `client` must outlive the table.
void addInstanceCommands(CommandTable& table, platform::InstanceClient& client, InstanceTarget target);

} // namespace kx::app::cli
