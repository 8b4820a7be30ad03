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
    // program's; the exchange fails instead of reading on. With a `timeoutMs`, so does a
    // program that takes longer than that for a step (connecting, writing, answering).
    explicit UnixSocketClient(std::size_t maxLineLength, int timeoutMs = 0)
        : m_maxLineLength(maxLineLength)
        , m_timeoutMs(timeoutMs)
    {
    }
    InstanceReply exchange(const std::string& address, const std::string& request) override;

private:
    std::size_t m_maxLineLength;
    int m_timeoutMs;
};

// The real user id of this process, in decimal.
std::string currentUserId();

} // namespace kx::platform::posix
