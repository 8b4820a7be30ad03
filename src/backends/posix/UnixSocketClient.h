#pragma once

#include "platform/InstanceClient.h"

#include <cstddef>
#include <string>

namespace kx::platform::posix {

// The instance channel over an AF_UNIX stream socket; the address is the socket's path.
class UnixSocketClient : public InstanceClient
{
public:
    // An answer longer than `maxLineLength` bytes ("\n" included) is no answer of the
    // program's; the exchange fails instead of reading on.
    explicit UnixSocketClient(std::size_t maxLineLength)
        : m_maxLineLength(maxLineLength)
    {
    }
    InstanceReply exchange(const std::string& address, const std::string& request) override;

private:
    std::size_t m_maxLineLength;
};

// The real user id of this process, in decimal.
std::string currentUserId();

} // namespace kx::platform::posix
