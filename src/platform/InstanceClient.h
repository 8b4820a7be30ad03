#pragma once

#include <string>

namespace kx::platform {

// What came back from the program that runs already.
struct InstanceReply
{
    enum class Status
    {
        Answered, // `line` holds the answer, without its "\n"
        NotRunning, // nothing listens at the address (none there, or one left by a crash)
        Failed, // connected, but the exchange broke off; `error` says what happened
    };
    Status status = Status::NotRunning;
    std::string line;
    std::string error;
};

// The client end of the channel to a running kalmotex (see config/InstanceChannel.h): one
// request line out, one answer line back, over the system's local sockets.
class InstanceClient
{
public:
    virtual ~InstanceClient() = default;

    // Connects to `address`, writes `request` (one line, "\n" included) and waits for one
    // answer line, as long as the program takes (a send may wait for the user's choice of
    // window); it ends early when the program closes the connection.
    virtual InstanceReply exchange(const std::string& address, const std::string& request) = 0;
};

} // namespace kx::platform
