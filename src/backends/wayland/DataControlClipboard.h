#pragma once

#include "backends/wayland/WaylandConnection.h"
#include "platform/Clipboard.h"

#include <memory>
#include <string>

struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_source_v1;
struct zwlr_data_control_offer_v1;

namespace kx::platform::wayland {

// The clipboard of a wlroots compositor through wlr-data-control: unlike a toolkit's
// clipboard it needs no keyboard focus, which a tray program does not have. The text goes to
// the clipboard and, where the compositor offers it (version 2), to the primary selection
// too, which Shift+Insert pastes in terminals. The text is handed out from the connection's
// event dispatch, so the program's event loop must keep dispatching while a target pastes.
// Reading gives the clipboard's text (not the primary selection's), as on X11.
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
    // The selection's text, as its owner hands it out within a second.
    std::string readText() override;

    // What the compositor reports of the selection (called from its events).
    void offered(zwlr_data_control_offer_v1* offer);
    void offerType(zwlr_data_control_offer_v1* offer, const char* type);
    void selected(zwlr_data_control_offer_v1* offer);
    void dropped(zwlr_data_control_offer_v1* offer);

private:
    zwlr_data_control_source_v1* offer(const std::shared_ptr<const std::string>& text);

    std::shared_ptr<WaylandConnection> m_connection;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
    // The offer announced last, until the selection event says what it is for.
    zwlr_data_control_offer_v1* m_pending = nullptr;
    std::string m_pendingType;
    // The clipboard's offer now and the text type it has; null when it holds nothing.
    zwlr_data_control_offer_v1* m_selection = nullptr;
    std::string m_selectionType;
};

} // namespace kx::platform::wayland
