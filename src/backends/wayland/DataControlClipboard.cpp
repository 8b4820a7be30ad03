#include "backends/wayland/DataControlClipboard.h"

#include <wayland-client.h>
#include <wayland-protocols/wlr-data-control-unstable-v1-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace kx::platform::wayland {

namespace {

// The types a paste asks for: terminals and toolkits ask for the first or an X11 name for it.
constexpr const char* kTextTypes[]
    = { "text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING" };

// One offered text: alive as long as the compositor may ask for it.
struct Source
{
    std::shared_ptr<const std::string> text;
};

void writeAll(int descriptor, std::shared_ptr<const std::string> text)
{
    std::size_t written = 0;
    while (written < text->size()) {
        const ssize_t now = ::write(descriptor, text->data() + written, text->size() - written);
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0)
            break; // the reader went away
        written += static_cast<std::size_t>(now);
    }
    ::close(descriptor);
}

const zwlr_data_control_source_v1_listener kSourceListener = {
    [](void* data, zwlr_data_control_source_v1*, const char*, int32_t descriptor) {
        // A slow reader must not hold up the event loop; the text is copied by reference.
        std::thread(writeAll, descriptor, static_cast<Source*>(data)->text).detach();
    },
    [](void* data, zwlr_data_control_source_v1* source) {
        // Another program owns the selection now.
        delete static_cast<Source*>(data);
        zwlr_data_control_source_v1_destroy(source);
    },
};

const zwlr_data_control_offer_v1_listener kOfferListener = {
    [](void* self, zwlr_data_control_offer_v1* offer, const char* type) {
        static_cast<DataControlClipboard*>(self)->offerType(offer, type);
    },
};

// Only the clipboard is read; what is offered as the primary selection is let go at once.
const zwlr_data_control_device_v1_listener kDeviceListener = {
    [](void* self, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlClipboard*>(self)->offered(offer);
    },
    [](void* self, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlClipboard*>(self)->selected(offer);
    },
    [](void*, zwlr_data_control_device_v1*) {},
    [](void* self, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlClipboard*>(self)->dropped(offer);
    },
};

} // namespace

DataControlClipboard::DataControlClipboard(std::shared_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
    const WaylandConnection::Global& global = m_connection->dataControlManager();
    if (global.name == 0 || !m_connection->seat())
        throw std::runtime_error("the compositor offers no wlr data control");
    // A writer whose reader has gone gets EPIPE, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    m_manager = static_cast<zwlr_data_control_manager_v1*>(wl_registry_bind(m_connection->registry(),
        global.name,
        &zwlr_data_control_manager_v1_interface,
        std::min<std::uint32_t>(global.version, 2)));
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_connection->seat());
    zwlr_data_control_device_v1_add_listener(m_device, &kDeviceListener, this);
}

DataControlClipboard::~DataControlClipboard()
{
    if (m_selection)
        zwlr_data_control_offer_v1_destroy(m_selection);
    zwlr_data_control_device_v1_destroy(m_device);
    zwlr_data_control_manager_v1_destroy(m_manager);
}

zwlr_data_control_source_v1* DataControlClipboard::offer(const std::shared_ptr<const std::string>& text)
{
    zwlr_data_control_source_v1* source = zwlr_data_control_manager_v1_create_data_source(m_manager);
    for (const char* type : kTextTypes)
        zwlr_data_control_source_v1_offer(source, type);
    zwlr_data_control_source_v1_add_listener(source, &kSourceListener, new Source { text });
    return source;
}

void DataControlClipboard::offered(zwlr_data_control_offer_v1* offer)
{
    m_pending = offer;
    m_pendingType.clear();
    zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, this);
}

void DataControlClipboard::offerType(zwlr_data_control_offer_v1* offer, const char* type)
{
    // Of the text types offered, the one first in kTextTypes is read.
    if (offer != m_pending)
        return;
    const auto rank = [](std::string_view candidate) {
        return std::find(std::begin(kTextTypes), std::end(kTextTypes), candidate) - std::begin(kTextTypes);
    };
    if (rank(type) < rank(m_pendingType.empty() ? std::string_view("-") : m_pendingType))
        m_pendingType = type;
}

void DataControlClipboard::dropped(zwlr_data_control_offer_v1* offer)
{
    if (!offer)
        return;
    if (offer == m_pending)
        m_pending = nullptr;
    zwlr_data_control_offer_v1_destroy(offer);
}

void DataControlClipboard::selected(zwlr_data_control_offer_v1* offer)
{
    if (m_selection && m_selection != offer)
        zwlr_data_control_offer_v1_destroy(m_selection);
    m_selection = offer;
    m_selectionType = offer == m_pending ? m_pendingType : std::string();
    m_pending = nullptr;
}

std::string DataControlClipboard::readText()
{
    m_connection->dispatchPending();
    if (!m_selection || m_selectionType.empty())
        return {};
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    zwlr_data_control_offer_v1_receive(m_selection, m_selectionType.c_str(), ends[1]);
    ::close(ends[1]);
    // When the text is our own, its "send" comes to this connection and must be dispatched.
    m_connection->roundTrip();
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable { ends[0], POLLIN, 0 };
        if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t got = ::read(ends[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    return text;
}

text::Result DataControlClipboard::setText(const std::string& text)
{
    const auto shared = std::make_shared<const std::string>(text);
    zwlr_data_control_device_v1_set_selection(m_device, offer(shared));
    // Each selection needs a source of its own.
    if (zwlr_data_control_device_v1_get_version(m_device) >= 2)
        zwlr_data_control_device_v1_set_primary_selection(m_device, offer(shared));
    // The paste keys come next: the compositor must own the text before they arrive.
    if (!m_connection->roundTrip())
        return text::Result::failure("the compositor refused the clipboard: " + m_connection->error());
    return text::Result::success();
}

} // namespace kx::platform::wayland
