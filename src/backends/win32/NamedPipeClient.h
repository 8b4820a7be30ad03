#pragma once

#include "platform/InstanceClient.h"

#include <cstddef>
#include <string>

namespace kx::platform::win32 {

// The instance channel over a named pipe; the address is the pipe's path
// ("\\.\pipe\NAME"), where the program's local server listens.
class NamedPipeClient : public InstanceClient
{
public:
    // An answer longer than `maxLineLength` bytes ("\n" included) is no answer of the
    // program's; the exchange fails instead of reading on.
    explicit NamedPipeClient(std::size_t maxLineLength)
        : m_maxLineLength(maxLineLength)
    {
    }
    InstanceReply exchange(const std::string& address, const std::string& request) override;

private:
    std::size_t m_maxLineLength;
};

// The pipe the program of this user's logon session listens at. Pipe names are one
// namespace for the whole machine, so the user and the session are part of the name.
std::string currentInstancePipe();

} // namespace kx::platform::win32
