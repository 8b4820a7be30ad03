// kx-x11-probe: drives the X11 backend from end-to-end test scripts and the typing benchmark.
// Windows are named by id (decimal or 0x); see usage() for the commands. "type" types a UTF-8
// file (CR, LF or CR LF: Enter; TAB: Tab); "grab-keyboard" and "grab-hotkey" hold the
// keyboard or combinations ("Ctrl+Alt+V") as another program would, and print "grabbed"
// once they have it.
#include "backends/x11/X11Connection.h"
#include "backends/x11/X11GlobalHotkey.h"
#include "backends/x11/X11KeyboardOutput.h"
#include "backends/x11/X11WindowSystem.h"
#include "popup/HotkeyText.h"
#include "text/Text.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

using namespace kx::platform;

namespace {

int usage()
{
    std::cerr
        << "usage: kx-x11-probe stack | above ID | activate ID | type [--window ID] [--guard] [--defer] FILE"
           " | clipboard [SELECTION] | keymap | selection-owner ATOM | grab-keyboard MS"
           " | grab-hotkey COMBINATION... | wm-roundtrip [SECONDS]\n";
    return 2;
}

WindowHandle parseId(const std::string& text) { return std::stoull(text, nullptr, 0); }

// A round trip through the window manager: moving an unmapped window of ours is a
// configure request the manager passes on (every one does, also those without EWMH), and
// it handles its events in order, so once the window has moved every event queued for it
// before has been handled. Without a manager the server moves it at once. openbox can
// leave events that arrived during its start-up in its queue until the next one wakes it
// (a tray panel's map request then waits forever); the request is repeated until it is
// answered, which wakes it.
int windowManagerRoundTrip(x11::X11Connection& connection, int seconds)
{
    Display* display = connection.display();
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool answered = false;
    XEvent event;
    for (int x = -11; !answered && std::chrono::steady_clock::now() < deadline; --x) {
        XMoveWindow(display, window, x, -10);
        answered = x11::waitForEvent(
            display,
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(200)),
            [&](const XEvent& e) {
                return e.type == ConfigureNotify && e.xconfigure.window == window && e.xconfigure.x == x;
            },
            event);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    if (!answered)
        std::cerr << "wm-roundtrip: the window manager did not answer within " << seconds << " s\n";
    return answered ? 0 : 1;
}

std::string hex(WindowHandle w)
{
    std::ostringstream out;
    out << "0x" << std::hex << w;
    return out.str();
}

KeyStrokes strokesOf(const std::u32string& text)
{
    KeyStrokes strokes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
                ++i;
            strokes.push_back({ NamedKey::Enter, 0, NoModifier });
        } else if (c == U'\t') {
            strokes.push_back({ NamedKey::Tab, 0, NoModifier });
        } else {
            strokes.push_back({ NamedKey::Character, c, NoModifier });
        }
    }
    return strokes;
}

int run(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    auto connection = std::make_shared<x11::X11Connection>();

    if (command == "stack") {
        x11::X11WindowSystem windows(connection);
        for (const WindowHandle w : windows.topLevelWindows())
            std::cout << hex(w) << (windows.isWindowVisible(w) ? " visible " : " hidden ")
                      << windows.windowTitle(w) << '\n';
        return 0;
    }
    if (command == "above" && argc == 3) {
        x11::X11WindowSystem windows(connection);
        std::cout << hex(windows.windowAbove(parseId(argv[2]))) << '\n';
        return 0;
    }
    if (command == "activate" && argc == 3) {
        x11::X11WindowSystem windows(connection);
        const ActivationResult activated = windows.activate(parseId(argv[2]));
        if (activated.confirmed) {
            std::cout << (activated.request.empty() ? "-" : activated.request) << ' '
                      << (activated.confirmation.empty() ? "-" : activated.confirmation) << '\n';
            return 0;
        }
        std::cerr << activated.error << '\n';
        return 1;
    }
    if (command == "type") {
        WindowHandle target = 0;
        bool defer = false;
        bool guarded = false;
        std::string file;
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--window" && i + 1 < argc)
                target = parseId(argv[++i]);
            else if (arg == "--guard")
                guarded = true;
            else if (arg == "--defer")
                defer = true;
            else
                file = arg;
        }
        std::ifstream in(file, std::ios::binary);
        if (file.empty() || !in)
            return usage();
        std::stringstream bytes;
        bytes << in.rdbuf();
        const KeyStrokes strokes = strokesOf(kx::text::toUtf32(bytes.str()));

        int status = 0;
        x11::X11WindowSystem windows(connection);
        if (target) {
            const ActivationResult activated = windows.activate(target);
            if (!activated.confirmed) {
                std::cerr << activated.error << '\n';
                status = 1;
            }
        }
        if (std::getenv("KX_PROBE_HOLD"))
            std::signal(SIGINT, SIG_DFL); // as a program started from a terminal has it
        x11::X11KeyboardOutput keyboard(connection);
        keyboard.setDeferKeymapRestore(defer);
        if (const char* delay = std::getenv("KX_RESTORE_DELAY_MS"))
            keyboard.setRestoreDelay(std::chrono::milliseconds(std::stoi(delay)));
        const auto start = std::chrono::steady_clock::now();
        TypingGuard guard;
        if (guarded)
            guard = [&windows, target] { return windows.hasKeyboardFocus(target); };
        const TypingResult result = keyboard.type(strokes, guard);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (result.stoppedByGuard) {
            std::cerr << "stopped after " << result.strokesTyped << " keys: the window lost the focus\n";
            status = 3;
        }
        if (!result.ok) {
            std::cerr << result.error << '\n';
            status = 1;
        }
        std::fprintf(stderr,
            "typed %zu keys in %.3f s (%.0f per second)\n",
            strokes.size(),
            took.count(),
            took.count() > 0 ? static_cast<double>(strokes.size()) / took.count() : 0.0);
        if (defer && std::getenv("KX_PROBE_HOLD")) {
            // For tests of the last-resort restore: signal the caller, then wait to be killed.
            std::cout << "holding" << std::endl;
            for (;;)
                pause();
        }
        return status;
    }
    if (command == "clipboard" && argc <= 3) {
        Display* display = connection->display();
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        const Atom property = connection->atom("KX_PROBE_CLIPBOARD");
        const Atom utf8 = connection->atom("UTF8_STRING");
        XConvertSelection(display,
            connection->atom(argc == 3 ? argv[2] : "CLIPBOARD"),
            utf8,
            property,
            window,
            CurrentTime);
        XEvent event;
        const bool answered = x11::waitForEvent(
            display,
            std::chrono::steady_clock::now() + std::chrono::seconds(5),
            [window](
                const XEvent& e) { return e.type == SelectionNotify && e.xselection.requestor == window; },
            event);
        if (!answered || event.xselection.property == None)
            return 1;
        std::cout << x11::readStringProperty(display, window, property, utf8);
        XDestroyWindow(display, window);
        XSync(display, False);
        return 0;
    }
    if (command == "keymap") {
        Display* display = connection->display();
        int minCode = 0;
        int maxCode = 0;
        XDisplayKeycodes(display, &minCode, &maxCode);
        int perCode = 0;
        x11::XPtr<KeySym> map(
            XGetKeyboardMapping(display, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode));
        for (int code = minCode; code <= maxCode; ++code) {
            std::cout << code << ':';
            for (int i = 0; i < perCode; ++i)
                std::cout << ' ' << std::hex << map.get()[(code - minCode) * perCode + i] << std::dec;
            std::cout << '\n';
        }
        return 0;
    }
    if (command == "selection-owner" && argc == 3) {
        const Window owner = XGetSelectionOwner(connection->display(), connection->atom(argv[2]));
        if (owner == None)
            return 1;
        std::cout << hex(owner) << '\n';
        return 0;
    }
    if (command == "grab-keyboard" && argc == 3) {
        Display* display = connection->display();
        if (XGrabKeyboard(display,
                DefaultRootWindow(display),
                False,
                GrabModeAsync,
                GrabModeAsync,
                CurrentTime)
            != GrabSuccess)
            return 1;
        std::cout << "grabbed" << std::endl;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(argv[2])));
        XUngrabKeyboard(display, CurrentTime);
        XSync(display, False);
        return 0;
    }
    if (command == "grab-hotkey" && argc >= 3) {
        kx::platform::x11::X11GlobalHotkey hotkey(DisplayString(connection->display()));
        for (int i = 2; i < argc; ++i) {
            const kx::popup::ParsedHotkey parsed = kx::popup::parseHotkey(argv[i]);
            if (!parsed.combination)
                throw std::runtime_error("not a key combination: " + parsed.error);
            const kx::platform::HotkeyResult result = hotkey.grab(i, *parsed.combination);
            if (result.status != kx::platform::HotkeyStatus::Grabbed)
                throw std::runtime_error(result.error);
        }
        std::cout << "grabbed" << std::endl;
        pollfd events { hotkey.eventDescriptor(), POLLIN, 0 };
        for (;;) {
            hotkey.dispatchEvents();
            poll(&events, 1, -1);
        }
    }
    if (command == "wm-roundtrip" && argc <= 3)
        return windowManagerRoundTrip(*connection, argc == 3 ? std::stoi(argv[2]) : 20);
    return usage();
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "kx-x11-probe: " << e.what() << '\n';
        return 1;
    }
}
