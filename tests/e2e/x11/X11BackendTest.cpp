// The X11 backend's waits and its keymap restore against a real X server. Run by
// backend_outcomes.sh in a rig without a window manager: the tests play the window manager
// themselves, so they decide what it confirms. KX_TARGET_WINDOW names an xterm of the rig.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// After GoogleTest, whose names Xlib's macros (None) would break.
#include "backends/x11/X11Connection.h"
#include "backends/x11/X11KeyboardOutput.h"
#include "backends/x11/X11WindowSystem.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace kx::platform::x11 {
namespace {

using testing::HasSubstr;

Window targetWindow()
{
    const char* id = std::getenv("KX_TARGET_WINDOW");
    return id ? std::stoul(id, nullptr, 0) : None;
}

std::vector<KeySym> keymapOf(Display* display)
{
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(display, &minCode, &maxCode);
    int perCode = 0;
    XPtr<KeySym> map(
        XGetKeyboardMapping(display, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode));
    return std::vector<KeySym>(map.get(), map.get() + (maxCode - minCode + 1) * perCode);
}

std::vector<Window> rootChildren(Display* display)
{
    Window root = None;
    Window parent = None;
    Window* raw = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &raw, &count);
    XPtr<Window> children(raw);
    return std::vector<Window>(children.get(), children.get() + count);
}

// An EWMH window manager that lists the target window and claims to keep the active window,
// but does nothing else: it never handles _NET_ACTIVE_WINDOW requests, so the active window
// is whatever the test sets.
class SilentWindowManager
{
public:
    explicit SilentWindowManager(X11Connection& connection, Window client)
        : m_connection(connection)
        , m_display(connection.display())
    {
        m_check = XCreateSimpleWindow(m_display, connection.root(), 0, 0, 1, 1, 0, 0, 0);
        setWindowProperty(m_check, "_NET_SUPPORTING_WM_CHECK", m_check);
        setWindowProperty(connection.root(), "_NET_SUPPORTING_WM_CHECK", m_check);
        setWindowProperty(connection.root(), "_NET_CLIENT_LIST", client);
        setWindowProperty(connection.root(), "_NET_CLIENT_LIST_STACKING", client);
        setAtoms(connection.root(),
            "_NET_SUPPORTED",
            { connection.atom("_NET_ACTIVE_WINDOW"),
                connection.atom("_NET_CLIENT_LIST"),
                connection.atom("_NET_CLIENT_LIST_STACKING") });
        setActive(None);
    }
    ~SilentWindowManager()
    {
        for (const char* name : { "_NET_SUPPORTING_WM_CHECK",
                 "_NET_SUPPORTED",
                 "_NET_CLIENT_LIST",
                 "_NET_CLIENT_LIST_STACKING",
                 "_NET_ACTIVE_WINDOW" })
            XDeleteProperty(m_display, m_connection.root(), m_connection.atom(name));
        XDestroyWindow(m_display, m_check);
        XSync(m_display, False);
    }

    // Reports the window as active and gives it the focus, as a manager that did activate it.
    void setActive(Window window)
    {
        setWindowProperty(m_connection.root(), "_NET_ACTIVE_WINDOW", window);
        if (window != None)
            XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XSync(m_display, False);
    }

private:
    void setWindowProperty(Window on, const char* name, Window value)
    {
        setAtoms(on, name, { value }, XA_WINDOW);
    }
    void setAtoms(Window on, const char* name, const std::vector<unsigned long>& values, Atom type = XA_ATOM)
    {
        XChangeProperty(m_display,
            on,
            m_connection.atom(name),
            type,
            32,
            PropModeReplace,
            reinterpret_cast<const unsigned char*>(values.data()),
            static_cast<int>(values.size()));
    }

    X11Connection& m_connection;
    Display* m_display;
    Window m_check = None;
};

class X11BackendTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_target, static_cast<Window>(None)) << "KX_TARGET_WINDOW is not set"; }

    // The test's own client, apart from the backend's connection, as another program would be.
    X11Connection m_other;
    Window m_target = targetWindow();
};

// An activation the window manager never confirms ends within its bound and says why; one
// whose timestamp never comes ends too, and the next one starts afresh.
TEST_F(X11BackendTest, unconfirmedActivationsEndWithinTheirBoundAndSayWhy)
{
    SilentWindowManager manager(m_other, m_target);
    X11WindowSystem windows(std::make_shared<X11Connection>());
    windows.setActivationTimeout(std::chrono::milliseconds(300));
    const std::vector<Window> before = rootChildren(m_other.display());

    const ActivationResult activated = windows.activate(m_target);
    EXPECT_FALSE(activated.confirmed);
    // The request changed nothing, nor did the crossing; the focus set directly did, but
    // the manager never said the window was active.
    EXPECT_EQ(activated.request, "_NET_ACTIVE_WINDOW, EnterNotify, XSetInputFocus");
    EXPECT_THAT(activated.error, HasSubstr("timed out after 300 ms"));

    // Another client destroys the window whose property change yields the timestamp: the
    // PropertyNotify the backend waits for never comes.
    std::vector<Window> created;
    for (const Window w : rootChildren(m_other.display()))
        if (std::find(before.begin(), before.end(), w) == before.end())
            created.push_back(w);
    ASSERT_EQ(created.size(), 1U);
    XDestroyWindow(m_other.display(), created[0]);
    XSync(m_other.display(), False);

    EXPECT_THAT(windows.activate(m_target).error, HasSubstr("no timestamp from the X server within 300 ms"));
    // The next one gets its timestamp. The focus sits in the window since the first one,
    // so no way changes anything, and that is clear after two round trips each.
    EXPECT_THAT(windows.activate(m_target).error,
        HasSubstr("ignored by the window manager (nothing changed within two round trips)"));
}

// Passes keymap changes on to XKB, except that it refuses a number of restores (changes
// that only take symbols away).
class RefusingRestores : public KeymapWriter
{
public:
    explicit RefusingRestores(int refusals)
        : m_refusals(refusals)
    {
    }

    text::Result setSpareSymbols(Display* display, const SpareSymbols& symbols) override
    {
        const bool restore = std::all_of(symbols.begin(), symbols.end(), [](const auto& symbol) {
            return symbol.second == NoSymbol;
        });
        if (restore && m_refusals != 0) {
            if (m_refusals > 0)
                --m_refusals;
            return text::Result::failure("refused for the test");
        }
        return m_xkb.setSpareSymbols(display, symbols);
    }

private:
    int m_refusals; // negative: every restore
    XkbKeymapWriter m_xkb;
};

const KeyStrokes missingFromTheLayout { { NamedKey::Character, U'Ω', NoModifier } };

TEST_F(X11BackendTest, aRefusedRestoreIsReportedAndRetriedAndTheLastResortStaysArmedUntilOneSucceeds)
{
    const std::vector<KeySym> original = keymapOf(m_other.display());
    X11KeyboardOutput keyboard(std::make_shared<X11Connection>(), std::make_unique<RefusingRestores>(2));
    keyboard.setRestoreRetryDelay(std::chrono::milliseconds(0));
    XSetInputFocus(m_other.display(), m_target, RevertToParent, CurrentTime);
    XSync(m_other.display(), False);

    const TypingResult typed = keyboard.type(missingFromTheLayout);
    EXPECT_FALSE(typed.ok);
    EXPECT_EQ(typed.error, "give back 1 borrowed keycodes: refused for the test");
    EXPECT_NE(keymapOf(m_other.display()), original);
    EXPECT_TRUE(keyboard.emergencyRestoreArmed());
    EXPECT_TRUE(keyboard.restoreDueAt().has_value());

    const TypingResult retried = keyboard.restorePendingKeymap();
    EXPECT_FALSE(retried.ok);
    EXPECT_NE(keymapOf(m_other.display()), original);
    EXPECT_TRUE(keyboard.emergencyRestoreArmed());
    EXPECT_TRUE(keyboard.restoreDueAt().has_value());

    EXPECT_TRUE(keyboard.restorePendingKeymap().ok);
    EXPECT_EQ(keymapOf(m_other.display()), original);
    EXPECT_FALSE(keyboard.emergencyRestoreArmed());
    EXPECT_FALSE(keyboard.restoreDueAt().has_value());
}

TEST_F(X11BackendTest, aProgramThatEndsAfterOnlyRefusedRestoresStillGivesTheKeycodesBack)
{
    // A fresh process (not a fork), so the child has a last-resort connection of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<KeySym> original = keymapOf(m_other.display());

    EXPECT_EXIT(
        {
            X11KeyboardOutput keyboard(std::make_shared<X11Connection>(),
                std::make_unique<RefusingRestores>(-1));
            const bool typed = keyboard.type(missingFromTheLayout).ok;
            std::fprintf(stderr, "typed %d, borrowed %d\n", typed, keymapOf(m_other.display()) != original);
            // exit() skips the keyboard's destructor: only the last-resort restore is left.
            std::exit(0);
        },
        testing::ExitedWithCode(0),
        "typed 0, borrowed 1");

    // The server may handle the ended program's last requests a moment later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (keymapOf(m_other.display()) != original && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(keymapOf(m_other.display()), original);
}

// The focus guard: the window manager's view and the input focus must both name the target;
// a "no" stops the typing at a batch boundary with nothing held and the keymap given back
// (that the typed part arrives whole, the tray's focus-guard test shows).
TEST_F(X11BackendTest, aGuardThatSaysNoStopsAtABatchBoundaryWithNothingHeldAndTheKeymapGivenBack)
{
    SilentWindowManager manager(m_other, m_target);
    auto connection = std::make_shared<X11Connection>();
    X11WindowSystem windows(connection);
    EXPECT_FALSE(windows.hasKeyboardFocus(m_target));
    XSetInputFocus(m_other.display(), m_target, RevertToParent, CurrentTime);
    XSync(m_other.display(), False);
    EXPECT_FALSE(windows.hasKeyboardFocus(m_target)) << "focused, but another window is the active one";
    manager.setActive(m_target);
    EXPECT_TRUE(windows.hasKeyboardFocus(m_target));
    // Once confirmed, the answer still follows the focus: away while the window manager
    // keeps naming the window, and back.
    XSetInputFocus(m_other.display(), m_other.root(), RevertToParent, CurrentTime);
    XSync(m_other.display(), False);
    EXPECT_FALSE(windows.hasKeyboardFocus(m_target)) << "the focus moved to the root window";
    XSetInputFocus(m_other.display(), m_target, RevertToParent, CurrentTime);
    XSync(m_other.display(), False);
    EXPECT_TRUE(windows.hasKeyboardFocus(m_target));

    // Shifted letters and a character no layout of the rig has, inside the part typed.
    const std::u32string text = U"abcdefghijKLMNOPQRSTUVWΩxyz0123456789+-*/";
    KeyStrokes strokes;
    for (const char32_t c : text)
        strokes.push_back({ NamedKey::Character, c, NoModifier });
    const std::vector<KeySym> original = keymapOf(m_other.display());
    X11KeyboardOutput keyboard(connection);
    keyboard.setGuardBatch(16);
    int checks = 0;
    const TypingResult typed
        = keyboard.type(strokes, [&] { return ++checks < 3 && windows.hasKeyboardFocus(m_target); });

    EXPECT_TRUE(typed.stoppedByGuard);
    EXPECT_EQ(typed.strokesTyped, 32U);
    EXPECT_EQ(checks, 3);
    EXPECT_EQ(keymapOf(m_other.display()), original);
    char down[32] = {};
    XQueryKeymap(m_other.display(), down);
    EXPECT_TRUE(std::all_of(std::begin(down), std::end(down), [](char c) { return c == 0; }))
        << "a key is still held down";

    manager.setActive(None);
    EXPECT_FALSE(windows.hasKeyboardFocus(m_target));
}

} // namespace
} // namespace kx::platform::x11
