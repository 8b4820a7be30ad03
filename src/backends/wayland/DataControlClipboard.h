#pragma once

#include "backends/wayland/WaylandConnection.h"
#include "platform/Clipboard.h"

#include <memory>
#include <string>

struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_source_v1;

namespace kx::platform::wayland {

// The clipboard of a wlroots compositor through wlr-data-control: unlike a toolkit's
// clipboard it needs no keyboard focus, which a tray program does not have. The text goes to
// the clipboard and, where the compositor offers it (version 2), to the primary selection
// too, which Shift+Insert pastes in terminals. The text is handed out from the connection's
// event dispatch, so the program's event loop must keep dispatching while a target pastes.
class DataControlClipboard : public Clipboard
{
public:
    // Binds the manager the connection found; throws std::runtime_error when it has none.
    explicit DataControlClipboard(std::shared_ptr<WaylandConnection> connection);
    ~DataControlClipboard() override;

    DataControlClipboard(const DataControlClipboard&) = delete;
    DataControlClipboard& operator=(const DataControlClipboard&) = delete;

    // Returns once the compositor has taken the text as the selection.
    text::Result setText(const std::string& text) override;

private:
    zwlr_data_control_source_v1* offer(const std::shared_ptr<const std::string>& text);

    std::shared_ptr<WaylandConnection> m_connection;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
};

} // namespace kx::platform::wayland
