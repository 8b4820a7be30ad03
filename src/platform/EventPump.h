#pragma once

namespace kx::platform {

// The program's own event processing, for the one pass a send makes between activating
// its target and typing (so repaints and window-system notifications are handled).
class EventPump
{
public:
    virtual ~EventPump() = default;

    // Handles the events that are waiting now, except user input: a click or key press
    // stays queued until the program is back in its event loop, so nothing the user does
    // can start work in the middle of a send.
    virtual void processPendingEvents() = 0;
};

} // namespace kx::platform
