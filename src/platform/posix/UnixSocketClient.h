#pragma once

#include "config/InstanceChannel.h"
#include "platform/InstanceClient.h"

namespace kx::platform::posix {

// The instance channel over an AF_UNIX stream socket; the address is the socket's path.
class UnixSocketClient : public InstanceClient
{
public:
    InstanceReply exchange(const std::string& address, const std::string& request) override;
};

// $XDG_RUNTIME_DIR, $DISPLAY (else $WAYLAND_DISPLAY) and the real user id of this process.
config::InstanceEnvironment currentInstanceEnvironment();

} // namespace kx::platform::posix
