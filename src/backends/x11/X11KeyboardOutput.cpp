#include "backends/x11/X11KeyboardOutput.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace kx::platform::x11 {

namespace {

// The last-resort restore of borrowed keycodes when the program ends without running its
// destructors (a signal, exit() or a crash). Xlib is not async-signal-safe, so the restore
// requests are prepared as raw protocol bytes and written with write(2) to a second
// connection that carries nothing else, and so is never left with half a request.
namespace emergency {

constexpr int signals[] = { SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL };
constexpr std::size_t signalCount = sizeof signals / sizeof signals[0];
struct sigaction previous[signalCount];
bool installed = false;
volatile std::sig_atomic_t reinstall[signalCount] = {};
Display* connection = nullptr; // kept open until the process ends
int fd = -1;
unsigned char bytes[16384];
volatile std::sig_atomic_t length = 0;

bool writeAll(const unsigned char* p, std::size_t left) noexcept
{
    while (left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

void writeRestore() noexcept
{
    const std::size_t size = static_cast<std::size_t>(length);
    length = 0;
    if (size == 0 || fd < 0 || !writeAll(bytes, size))
        return;
    // The server drops requests it has not handled yet when the connection closes, so wait
    // (at most a second) for the reply to a GetInputFocus sent after them. Everything else
    // on this connection is 32-byte events (MappingNotify) and errors.
    const unsigned char roundTrip[4] = { 43, 0, 1, 0 };
    if (!writeAll(roundTrip, sizeof roundTrip))
        return;
    unsigned char buffer[4096];
    std::size_t filled = 0;
    for (int idle = 0, reads = 0; idle < 100 && reads < 10000;) {
        pollfd waitFor { fd, POLLIN, 0 };
        const int ready = ::poll(&waitFor, 1, 10);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            ++idle;
            continue;
        }
        ++reads;
        const ssize_t got = ::read(fd, buffer + filled, sizeof buffer - filled);
        if (got <= 0)
            return;
        filled += static_cast<std::size_t>(got);
        std::size_t unit = 0;
        for (; unit + 32 <= filled; unit += 32)
            if (buffer[unit] == 1) // X_Reply
                return;
        std::memmove(buffer, buffer + unit, filled - unit);
        filled -= unit;
    }
}

void onSignal(int sig)
{
    writeRestore();
    for (std::size_t i = 0; i < signalCount; ++i) {
        if (signals[i] != sig)
            continue;
        // Hand the signal on to whoever had it before: the default action ends the
        // program, another handler gets it as soon as this one returns.
        sigaction(sig, &previous[i], nullptr);
        reinstall[i] = 1;
        if (previous[i].sa_handler != SIG_IGN)
            raise(sig);
        return;
    }
}

void onExit() { writeRestore(); }

// ChangeKeyboardMapping requests (X11 core protocol, opcode 100) that set the keycodes back
// to no symbols, one request per run of consecutive keycodes.
void prepare(Display* display, std::vector<KeyCodeValue> codes)
{
    length = 0;
    if (!connection) {
        connection = XOpenDisplay(DisplayString(display));
        if (!connection)
            return;
        fd = ConnectionNumber(connection);
    }
    // Every keymap change sends this connection a MappingNotify; read them now, so the
    // last-resort path finds its reply behind few events.
    while (XPending(connection)) {
        XEvent event;
        XNextEvent(connection, &event);
    }
    std::sort(codes.begin(), codes.end());
    std::size_t size = 0;
    for (std::size_t i = 0; i < codes.size();) {
        std::size_t n = 1;
        while (i + n < codes.size() && codes[i + n] == codes[i] + n && n < 255)
            ++n;
        constexpr std::uint8_t perKey = 2;
        const std::size_t requestBytes = 8 + n * perKey * 4;
        if (size + requestBytes > sizeof bytes)
            break;
        const std::uint16_t units = static_cast<std::uint16_t>(requestBytes / 4);
        unsigned char* r = bytes + size;
        std::memset(r, 0, requestBytes);
        r[0] = 100;
        r[1] = static_cast<unsigned char>(n);
        std::memcpy(r + 2, &units, 2); // the connection uses the client's byte order
        r[4] = codes[i];
        r[5] = perKey;
        size += requestBytes;
        i += n;
    }
    for (std::size_t i = 0; i < signalCount; ++i) {
        if (installed && !reinstall[i])
            continue;
        // An ignored signal does not end the program: nothing to do for it.
        struct sigaction current = {};
        sigaction(signals[i], nullptr, &current);
        if (current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signals[i], &action, &previous[i]);
        reinstall[i] = 0;
    }
    if (!installed)
        std::atexit(onExit);
    installed = true;
    length = static_cast<std::sig_atomic_t>(size);
}

void disarm() { length = 0; }

bool armed() { return length != 0; }

} // namespace emergency

bool isGroupSwitch(KeySym keysym)
{
    return keysym == XK_Mode_switch || keysym == XK_ISO_Group_Shift || keysym == XK_ISO_Next_Group
        || keysym == XK_ISO_Prev_Group || keysym == XK_ISO_Group_Lock || keysym == NoSymbol;
}

struct XkbDescDeleter
{
    void operator()(XkbDescPtr xkb) const { XkbFreeKeyboard(xkb, 0, True); }
};
struct ModifierMapDeleter
{
    void operator()(XModifierKeymap* map) const { XFreeModifiermap(map); }
};

} // namespace

X11KeyboardOutput::X11KeyboardOutput()
    : X11KeyboardOutput(std::make_shared<X11Connection>())
{
}

X11KeyboardOutput::X11KeyboardOutput(std::shared_ptr<X11Connection> connection)
    : X11KeyboardOutput(std::move(connection), std::make_unique<XkbKeymapWriter>())
{
}

X11KeyboardOutput::X11KeyboardOutput(std::shared_ptr<X11Connection> connection,
    std::unique_ptr<KeymapWriter> keymapWriter)
    : m_connection(std::move(connection))
    , m_display(m_connection->display())
    , m_keymapWriter(std::move(keymapWriter))
    , m_displayName(DisplayString(m_display))
{
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension: cannot type");
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(m_display, &opcode, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XKEYBOARD extension: cannot type");
}

X11KeyboardOutput::~X11KeyboardOutput()
{
    if (m_restoreThread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_restoreWake.notify_one();
        m_restoreThread.join();
    }
    // The last chance to say so; the last-resort restore at exit stays armed.
    const TypingResult restored = restorePendingKeymap();
    if (!restored.ok)
        std::fprintf(stderr, "kalmotex: %s; the restore at exit tries again\n", restored.error.c_str());
}

void X11KeyboardOutput::setDeferKeymapRestore(bool defer)
{
    const std::lock_guard lock(m_mutex);
    m_deferRestore = defer;
    if (defer && !m_restoreThread.joinable())
        m_restoreThread = std::thread([this] { restoreWhenDue(); });
}

std::optional<std::chrono::steady_clock::time_point> X11KeyboardOutput::restoreDueAt() const
{
    const std::lock_guard lock(m_mutex);
    if (m_borrowed.empty())
        return std::nullopt;
    return m_restoreDue;
}

void X11KeyboardOutput::restoreWhenDue()
{
    // Signals are handled on the GUI thread, whose last-resort restore must not meet this
    // thread halfway through a request.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::unique_ptr<X11Connection> own;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_borrowed.empty() || !m_restoreDue || !m_deferRestore) {
            m_restoreWake.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() < *m_restoreDue) {
            m_restoreWake.wait_until(lock, *m_restoreDue);
            continue;
        }
        TypingResult restored;
        try {
            if (!own)
                own = std::make_unique<X11Connection>(m_displayName);
            restored = giveBackLocked(own->display());
        } catch (const std::runtime_error& error) {
            restored = { false, error.what() };
        }
        if (!restored.ok) {
            m_restoreDue = std::chrono::steady_clock::now() + m_restoreRetryDelay;
            std::fprintf(stderr, "kalmotex: %s; trying again\n", restored.error.c_str());
        }
    }
}

KeymapSnapshot X11KeyboardOutput::readKeymap()
{
    KeymapSnapshot keymap;
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(m_display, &minCode, &maxCode);

    XkbStateRec state {};
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    keymap.group = state.group;
    const unsigned numLock = XkbKeysymToModifiers(m_display, XK_Num_Lock);

    std::unique_ptr<XModifierKeymap, ModifierMapDeleter> modifiers(XGetModifierMapping(m_display));
    std::vector<bool> isModifierKey(256, false);
    m_modifierKeys.fill(0);
    if (modifiers) {
        for (int mod = 0; mod < 8; ++mod) {
            for (int i = 0; i < modifiers->max_keypermod; ++i) {
                const KeyCode code = modifiers->modifiermap[mod * modifiers->max_keypermod + i];
                if (code == 0)
                    continue;
                isModifierKey[code] = true;
                if (m_modifierKeys[mod] == 0 && !isGroupSwitch(XkbKeycodeToKeysym(m_display, code, 0, 0)))
                    m_modifierKeys[static_cast<std::size_t>(mod)] = code;
            }
        }
    }
    for (unsigned mod = 0; mod < 8; ++mod) {
        const unsigned mask = 1u << mod;
        if (m_modifierKeys[mod] != 0 && mask != LockMask && mask != numLock)
            keymap.pressableModifiers |= mask;
    }

    std::unique_ptr<XkbDescRec, XkbDescDeleter> xkb(
        XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd));
    if (!xkb)
        return keymap;
    for (int code = minCode; code <= maxCode; ++code) {
        const auto kc = static_cast<KeyCode>(code);
        const int groups = XkbKeyNumGroups(xkb.get(), kc);
        if (groups == 0) {
            if (!isModifierKey[kc])
                keymap.spareKeycodes.push_back(kc);
            continue;
        }
        KeymapSnapshot::Key key;
        key.code = kc;
        for (int g = 0; g < groups; ++g) {
            const XkbKeyTypePtr type = XkbKeyKeyType(xkb.get(), kc, g);
            std::vector<KeymapSnapshot::Level> levels;
            for (int l = 0; l < type->num_levels; ++l) {
                KeymapSnapshot::Level level;
                level.keysym = static_cast<KeySymValue>(XkbKeySymEntry(xkb.get(), kc, l, g));
                if (l > 0) {
                    level.reachable = false;
                    for (int e = 0; e < type->map_count; ++e) {
                        const XkbKTMapEntryRec& entry = type->map[e];
                        if (!entry.active || entry.level != l || (entry.mods.mask & numLock))
                            continue;
                        if (!level.reachable
                            || std::popcount(entry.mods.mask) < std::popcount(level.modifiers)) {
                            level.modifiers = entry.mods.mask;
                            level.reachable = true;
                        }
                    }
                }
                levels.push_back(level);
            }
            key.groups.push_back(std::move(levels));
        }
        keymap.keys.push_back(std::move(key));
    }
    return keymap;
}

void X11KeyboardOutput::waitForModifierRelease()
{
    // Typed text must not turn into shortcuts: wait for the user to let go of Shift, Ctrl,
    // Alt, AltGr and Super (not Caps Lock or Num Lock, which stay down only while pressed).
    std::vector<KeyCode> keys;
    std::unique_ptr<XModifierKeymap, ModifierMapDeleter> modifiers(XGetModifierMapping(m_display));
    const unsigned numLock = XkbKeysymToModifiers(m_display, XK_Num_Lock);
    if (!modifiers)
        return;
    for (int mod = 0; mod < 8; ++mod) {
        const unsigned mask = 1u << mod;
        if (mask == LockMask || mask == numLock)
            continue;
        for (int i = 0; i < modifiers->max_keypermod; ++i) {
            const KeyCode code = modifiers->modifiermap[mod * modifiers->max_keypermod + i];
            if (code != 0)
                keys.push_back(code);
        }
    }
    const auto held = [&] {
        char down[32] = {};
        XQueryKeymap(m_display, down);
        std::vector<KeyCode> result;
        for (const KeyCode code : keys)
            if (down[code / 8] & (1 << (code % 8)))
                result.push_back(code);
        return result;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        const auto stillHeld = held();
        if (stillHeld.empty())
            return;
        if (std::chrono::steady_clock::now() >= deadline) {
            // Held for longer than anyone presses a key on purpose: release them for the
            // target, rather than send Ctrl+letter shortcuts.
            for (const KeyCode code : stillHeld)
                XTestFakeKeyEvent(m_display, code, False, CurrentTime);
            XSync(m_display, False);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

text::Result X11KeyboardOutput::bind(const SpareSymbols& bindings)
{
    for (const auto& [code, keysym] : bindings)
        if (std::find(m_borrowed.begin(), m_borrowed.end(), code) == m_borrowed.end())
            m_borrowed.push_back(code);
    // Armed before the change, so an interruption in between still restores.
    emergency::prepare(m_display, m_borrowed);
    return m_keymapWriter->setSpareSymbols(m_display, bindings);
}

void X11KeyboardOutput::keyEvent(KeyCodeValue code, bool press)
{
    XTestFakeKeyEvent(m_display, code, press ? True : False, CurrentTime);
    // Batches keep the server's and the target's queues short; the last sync is in type().
    // A guarded batch syncs once after its ungrab: under the grab a round trip would only
    // cost time, as the server handles nobody else's requests anyway.
    if (++m_eventsSinceSync >= 64 && !m_inGuardedBatch) {
        XSync(m_display, False);
        m_eventsSinceSync = 0;
    }
}

void X11KeyboardOutput::setHeldModifiers(unsigned modifiers)
{
    for (unsigned mod = 0; mod < 8; ++mod) {
        const unsigned mask = 1u << mod;
        if ((m_held & mask) && !(modifiers & mask)) {
            keyEvent(m_modifierKeys[mod], false);
            m_held &= ~mask;
        }
    }
    for (unsigned mod = 0; mod < 8; ++mod) {
        const unsigned mask = 1u << mod;
        if ((modifiers & mask) && !(m_held & mask) && m_modifierKeys[mod] != 0) {
            keyEvent(m_modifierKeys[mod], true);
            m_held |= mask;
        }
    }
}

bool X11KeyboardOutput::sendKeys(
    const std::vector<PlannedKey>& keys, const TypingGuard& guard, std::size_t& typed)
{
    const std::size_t batch = guard ? m_guardBatch : keys.size();
    for (std::size_t first = 0; first < keys.size(); first += batch) {
        const std::size_t end = std::min(keys.size(), first + batch);
        if (guard) {
            // Requests are handled in order, and XTest delivers its key events as it handles
            // them: under the grab, the focus the guard saw is the focus the batch meets.
            XGrabServer(m_display);
            if (!guard()) {
                XUngrabServer(m_display);
                XFlush(m_display);
                return false;
            }
            m_inGuardedBatch = true;
        }
        for (std::size_t k = first; k < end; ++k) {
            setHeldModifiers(keys[k].modifiers);
            keyEvent(keys[k].code, true);
            keyEvent(keys[k].code, false);
        }
        if (guard) {
            // Nothing held between batches: a click elsewhere must not become Shift+click,
            // and a stop leaves no key to release into another window.
            setHeldModifiers(0);
            m_inGuardedBatch = false;
            XUngrabServer(m_display);
            // A round trip with nothing of ours queued behind it: the server turns to the
            // other clients (the window manager moving the focus) before the next grab.
            // Without it, the server keeps handling our requests back to back, and a focus
            // change would wait until the whole text was typed.
            XSync(m_display, False);
            m_eventsSinceSync = 0;
        }
        typed = keys[end - 1].stroke + 1;
    }
    return true;
}

bool X11KeyboardOutput::waitForKeyboardUngrabbed()
{
    // Keys typed while another client holds the keyboard go to that client, not to the
    // target: a menu closed just before the send may still hold it, since its ungrab comes
    // over its own connection and the server may read ours first. A grab of our own that
    // succeeds (and is let go at once) proves nobody holds it.
    const auto deadline = std::chrono::steady_clock::now() + m_grabWait;
    for (;;) {
        const int status = XGrabKeyboard(m_display,
            DefaultRootWindow(m_display),
            False,
            GrabModeAsync,
            GrabModeAsync,
            CurrentTime);
        if (status == GrabSuccess) {
            XUngrabKeyboard(m_display, CurrentTime);
            return true;
        }
        if ((status != AlreadyGrabbed && status != GrabFrozen)
            || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TypingResult X11KeyboardOutput::type(const KeyStrokes& strokes, const TypingGuard& guard)
{
    std::unique_lock lock(m_mutex);
    // Keycodes still borrowed stay bound: the plan finds their symbols in the keymap and
    // types with them (a send right after another changes nothing), takes other spare
    // keycodes for what is missing, and the restore after this send gives all of them
    // back. Giving them back here instead would race the previous target, which looks the
    // symbols up only when it reads its keys, perhaps later than this send starts.
    // Without deferral the previous send has restored already, unless that failed.
    TypingResult result = m_deferRestore ? TypingResult {} : restorePendingLocked();
    ErrorTrap trap(m_display);

    const KeymapSnapshot keymap = readKeymap();
    const KeyPlan plan = planKeystrokes(keymap, strokes);
    const bool keyboardFree = waitForKeyboardUngrabbed();
    waitForModifierRelease();

    // Caps Lock would turn level-1 letters into capitals: unlock it while typing.
    XkbStateRec state {};
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    const unsigned locked = state.locked_mods & LockMask;
    if (locked)
        XkbLockModifiers(m_display, XkbUseCoreKbd, locked, 0);

    m_held = 0;
    m_eventsSinceSync = 0;
    std::size_t typed = 0;
    bool complete = true;
    for (std::size_t r = 0; r < plan.rounds.size() && complete; ++r) {
        const PlanRound& round = plan.rounds[r];
        if (r > 0 && !plan.rounds[r - 1].bindings.empty()) {
            // The target must have read the previous round's keys before their symbols change.
            setHeldModifiers(0);
            XSync(m_display, False);
            std::this_thread::sleep_for(m_restoreDelay);
        }
        if (!round.bindings.empty()) {
            if (const text::Result bound = bind(round.bindings); !bound) {
                result.ok = false;
                result.error = bound.error();
                complete = false;
                break;
            }
        }
        if (!sendKeys(round.keys, guard, typed)) {
            result.stoppedByGuard = true;
            complete = false;
        }
    }
    // Strokes without a key of their own (the LF of a CR LF pair) count with the keys around them.
    result.strokesTyped = complete ? strokes.size() : typed;
    setHeldModifiers(0);
    if (locked)
        XkbLockModifiers(m_display, XkbUseCoreKbd, locked, locked);
    XSync(m_display, False);

    const auto addError = [&result](const std::string& error) {
        result.ok = false;
        result.error += (result.error.empty() ? "" : "; ") + error;
    };
    if (!keyboardFree)
        addError("type: another program held the keyboard for " + std::to_string(m_grabWait.count())
            + " ms; typed all the same");
    if (trap.failed())
        addError("type: " + trap.firstError());
    if (!plan.error.empty())
        addError("type: " + plan.error);
    if (!m_borrowed.empty()) {
        m_restoreDue = std::chrono::steady_clock::now() + m_restoreDelay;
        if (!m_deferRestore) {
            const TypingResult restored = restorePendingLocked();
            if (!restored.ok)
                addError(restored.error);
        } else {
            lock.unlock();
            m_restoreWake.notify_one();
        }
    }
    return result;
}

TypingResult X11KeyboardOutput::restorePendingKeymap()
{
    const std::lock_guard lock(m_mutex);
    return restorePendingLocked();
}

TypingResult X11KeyboardOutput::restorePendingLocked()
{
    if (m_borrowed.empty()) {
        m_restoreDue.reset();
        return {};
    }
    if (m_restoreDue)
        std::this_thread::sleep_until(*m_restoreDue);
    const TypingResult restored = giveBackLocked(m_display);
    if (!restored.ok)
        m_restoreDue = std::chrono::steady_clock::now() + m_restoreRetryDelay;
    return restored;
}

TypingResult X11KeyboardOutput::giveBackLocked(Display* display)
{
    SpareSymbols cleared;
    for (const KeyCodeValue code : m_borrowed)
        cleared.emplace_back(code, NoSymbol);
    if (const text::Result written = m_keymapWriter->setSpareSymbols(display, cleared); !written) {
        // The keycodes stay borrowed and the last-resort restore stays armed until a retry
        // succeeds, so a crash or the end of the program still gives them back.
        return { false,
            "give back " + std::to_string(m_borrowed.size()) + " borrowed keycodes: " + written.error() };
    }
    XSync(display, False);
    emergency::disarm();
    m_borrowed.clear();
    m_restoreDue.reset();
    return {};
}

bool X11KeyboardOutput::emergencyRestoreArmed() const
{
    const std::lock_guard lock(m_mutex);
    return emergency::armed();
}

} // namespace kx::platform::x11
