#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How a second start of kalmotex and kalmotex-cli reach the program that already runs for
// the same user and display: a local socket at a fixed path, carrying one request line and
// one answer line per connection.
//
// Requests (ASCII, ending in "\n"):
//   show           raise and activate the main window (a second start sends this)
//   send N         do what a click on the menu item of entry N does (N = entry number, 1..32767)
//   menu           open the popup menu at the pointer, as the hotkey does (answered at once)
// Answers (ASCII, ending in "\n"):
//   ok             done; for send: the keys were typed; for menu: the menu is opening
//   busy           refused: a send is under way or the popup menu is open
//   no-entry       there is no entry N in the menu
//   not-typed      the send ran but typed nothing: no target window, or the choice was cancelled
//   bad-request    the request line was not one of the above
// Anything else in either direction is an error; the connection closes after the answer.
namespace kx::app {

// What the socket's path depends on. Empty strings stand for unset variables.
struct InstanceEnvironment
{
    std::string runtimeDir; // $XDG_RUNTIME_DIR
    std::string display; // $DISPLAY, else $WAYLAND_DISPLAY
    std::string userId; // the numeric user id, as text
};

// The display as a file-name part: the screen number (".0" after the display number) is
// dropped, since every screen of one X server is the same session; a leading ':' goes;
// any character other than a letter, digit, '.', '-' or '_' becomes '_'. ":0.1" -> "0",
// "host:10.0" -> "host_10", "" -> "none".
std::string instanceDisplayTag(std::string_view display);

// The environment of this process, with the user id the platform gives (the numeric uid on
// POSIX systems).
InstanceEnvironment currentInstanceEnvironment(std::string userId);

// "$XDG_RUNTIME_DIR/kalmotex-<display>.socket" when the runtime folder is an absolute path
// and the result fits a local socket address (107 bytes), else
// "/tmp/kalmotex-<uid>-<display>.socket".
std::string instanceSocketPath(const InstanceEnvironment& environment);

// The longest path a local (AF_UNIX) socket address holds on Linux, without its NUL.
inline constexpr std::size_t kMaxSocketPathLength = 107;

// The longest request or answer line, "\n" included; a peer that sends more is cut off.
inline constexpr std::size_t kMaxInstanceLineLength = 64;

enum class InstanceCommand
{
    Show,
    Send,
    Menu,
};

struct InstanceRequest
{
    InstanceCommand command = InstanceCommand::Show;
    int entryNumber = 0; // only for Send

    friend bool operator==(const InstanceRequest&, const InstanceRequest&) = default;
};

enum class InstanceAnswer
{
    Ok,
    Busy,
    NoEntry,
    NotTyped,
    BadRequest,
};

// The request line, "\n" included.
std::string formatInstanceRequest(const InstanceRequest& request);
// A request line with or without its "\n"; nothing for anything that is not exactly one of
// the requests above (unknown words, extra blanks, signs or leading zeros, N out of range).
std::optional<InstanceRequest> parseInstanceRequest(std::string_view line);

// The answer line, "\n" included.
std::string formatInstanceAnswer(InstanceAnswer answer);
// An answer line with or without its "\n"; nothing for an unknown answer.
std::optional<InstanceAnswer> parseInstanceAnswer(std::string_view line);

} // namespace kx::app
