#pragma once

#include <memory>

namespace kx::transmit {
class Clock;
}

namespace kx::app::cli {

class CommandTable;

// expand N: the entry's text after unescaping and placeholder expansion, as UTF-8, nothing
// added. keys N [--json]: the keystroke string a send would type (for a console entry the
// paste keys "+{INSERT}"); --json prints {"keys":…,"clipboard":…}, clipboard null unless the
// entry is a console entry. Without a clock the system's clock and the LC_TIME formats of
// the environment are used.
void addTransmitCommands(CommandTable& table, std::shared_ptr<const transmit::Clock> clock = nullptr);

} // namespace kx::app::cli
