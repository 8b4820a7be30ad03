#include "backends/wayland/VirtualKeyboardOutput.h"

#include <wayland-client.h>
#include <wayland-protocols/virtual-keyboard-unstable-v1-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace kx::platform::wayland {

namespace {

// wl_keyboard's values, which the virtual keyboard shares.
constexpr std::uint32_t keymapFormatXkbV1 = 1;
constexpr std::uint32_t released = 0, pressed = 1;

// XKB's real modifier masks, fixed in every keymap.
std::uint32_t modifierMask(std::uint8_t modifiers)
{
    return ((modifiers & Shift) ? 1u : 0u) | ((modifiers & Ctrl) ? 4u : 0u) | ((modifiers & Alt) ? 8u : 0u);
}

std::uint32_t milliseconds()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

VirtualKeyboardOutput::VirtualKeyboardOutput(std::shared_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
    const WaylandConnection::Global global = m_connection->virtualKeyboardManager();
    if (global.name == 0 || !m_connection->seat())
        throw std::runtime_error("the compositor offers no zwp_virtual_keyboard_manager_v1 or no seat");
    auto* manager = static_cast<zwp_virtual_keyboard_manager_v1*>(wl_registry_bind(m_connection->registry(),
        global.name,
        &zwp_virtual_keyboard_manager_v1_interface,
        1));
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, m_connection->seat());
    zwp_virtual_keyboard_manager_v1_destroy(manager);
    // The seat has a keyboard from now on, with a keymap of the named keys alone.
    m_inForce.assign(characterKeyCount(), 0);
    m_lastUse.assign(characterKeyCount(), 0);
    std::string error;
    if (!useKeymap({}, error) || !m_connection->roundTrip())
        throw std::runtime_error("the virtual keyboard was refused: " + error + m_connection->error());
}

VirtualKeyboardOutput::~VirtualKeyboardOutput()
{
    zwp_virtual_keyboard_v1_destroy(m_keyboard);
    wl_display_flush(m_connection->display());
}

bool VirtualKeyboardOutput::useKeymap(const std::vector<char32_t>& characters, std::string& error)
{
    ++m_rounds;
    std::vector<char32_t> missing;
    for (const char32_t c : characters) {
        const auto found = std::find(m_inForce.begin(), m_inForce.end(), c);
        if (found == m_inForce.end())
            missing.push_back(c);
        else
            m_lastUse[static_cast<std::size_t>(found - m_inForce.begin())] = m_rounds;
    }
    if (m_lastKeymap && missing.empty())
        return true;
    // Taken over once the compositor has the keymap.
    std::vector<char32_t> next = m_inForce;
    std::vector<std::uint64_t> nextUse = m_lastUse;
    bool evicts = false;
    for (const char32_t c : missing) {
        auto slot = std::find(next.begin(), next.end(), U'\0');
        if (slot == next.end()) {
            // The character used longest ago, of those this round does not type.
            std::size_t oldest = nextUse.size();
            for (std::size_t i = 0; i < nextUse.size(); ++i)
                if (nextUse[i] != m_rounds && (oldest == nextUse.size() || nextUse[i] < nextUse[oldest]))
                    oldest = i;
            slot = next.begin() + static_cast<std::ptrdiff_t>(oldest);
            evicts = true;
        }
        *slot = c;
        nextUse[static_cast<std::size_t>(slot - next.begin())] = m_rounds;
    }
    // Every key typed so far has reached the compositor before the keymap changes.
    if (m_lastKey)
        m_connection->roundTrip();
    auto due = m_lastKeymap.value_or(std::chrono::steady_clock::time_point {}) + m_keymapInterval;
    if (evicts && m_lastKey)
        due = std::max(due, *m_lastKey + m_evictionHold);
    m_connection->waitUntil(due, [] { return false; });
    const std::string text = keymapText(next);
    const int fd = memfd_create("kalmotex-keymap", MFD_CLOEXEC);
    if (fd < 0) {
        error = std::string("memfd_create: ") + std::strerror(errno);
        return false;
    }
    // The text with its terminating NUL, as wl_keyboard.keymap hands it on.
    const std::size_t size = text.size() + 1;
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, text.c_str() + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = std::string("writing the keymap: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    zwp_virtual_keyboard_v1_keymap(m_keyboard, keymapFormatXkbV1, fd, static_cast<std::uint32_t>(size));
    // The request carries a duplicate of the descriptor.
    ::close(fd);
    m_inForce = std::move(next);
    m_lastUse = std::move(nextUse);
    m_lastKeymap = std::chrono::steady_clock::now();
    return true;
}

KeyCode VirtualKeyboardOutput::codeInForce(const VirtualKey& key) const
{
    if (key.character == 0)
        return key.code;
    const auto position = std::find(m_inForce.begin(), m_inForce.end(), key.character) - m_inForce.begin();
    return characterKeyCode(static_cast<std::size_t>(position));
}

void VirtualKeyboardOutput::key(KeyCode code, bool press)
{
    zwp_virtual_keyboard_v1_key(m_keyboard, milliseconds(), code - 8, press ? pressed : released);
}

void VirtualKeyboardOutput::setModifiers(std::uint8_t modifiers)
{
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, modifierMask(modifiers), 0, 0, 0);
}

TypingResult VirtualKeyboardOutput::type(const KeyStrokes& strokes, const TypingGuard& guard)
{
    TypingResult result;
    const VirtualKeyPlan plan = planVirtualKeys(strokes);
    std::size_t typed = 0; // strokes before this position are typed
    for (const KeymapRound& round : plan.rounds) {
        if (!useKeymap(round.characters, result.error)) {
            result.ok = false;
            result.strokesTyped = typed;
            return result;
        }
        for (std::size_t start = 0; start < round.keys.size(); start += m_guardBatch) {
            if (guard && !guard()) {
                result.ok = false;
                result.stoppedByGuard = true;
                result.strokesTyped = typed;
                return result;
            }
            const auto batchStart = std::chrono::steady_clock::now();
            const std::size_t end = std::min(start + m_guardBatch, round.keys.size());
            for (std::size_t i = start; i < end; ++i) {
                const VirtualKey& k = round.keys[i];
                const KeyCode code = codeInForce(k);
                constexpr std::pair<Modifier, KeyCode> modifierKeys[]
                    = { { Shift, shiftKey }, { Ctrl, controlKey }, { Alt, altKey } };
                if (k.modifiers != 0) {
                    for (const auto& [bit, modifierKey] : modifierKeys)
                        if (k.modifiers & bit)
                            key(modifierKey, true);
                    // wlroots hands a virtual keyboard's modifier state on as we set it.
                    setModifiers(k.modifiers);
                }
                key(code, true);
                key(code, false);
                if (k.modifiers != 0) {
                    for (const auto& [bit, modifierKey] : modifierKeys)
                        if (k.modifiers & bit)
                            key(modifierKey, false);
                    setModifiers(0);
                }
            }
            typed = end < round.keys.size() ? round.keys[end].stroke : round.keys[end - 1].stroke + 1;
            m_lastKey = std::chrono::steady_clock::now();
            if (!m_connection->roundTrip()) {
                result.ok = false;
                result.error = "typing: " + m_connection->error();
                result.strokesTyped = typed;
                return result;
            }
            if (end < round.keys.size()) {
                const auto due
                    = batchStart + std::chrono::microseconds(1'000'000 * (end - start) / m_maxRate);
                m_connection->waitUntil(due, [] { return false; });
            }
        }
    }
    result.strokesTyped = strokes.size();
    if (!plan.error.empty()) {
        result.ok = false;
        result.error = plan.error;
    }
    return result;
}

} // namespace kx::platform::wayland
