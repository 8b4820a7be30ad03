#pragma once

#include "backends/fake/FakeDesktop.h"
#include "config/ConfigAccess.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "support/ScriptedPrompts.h"
#include "support/SequenceRandom.h"
#include "support/TempDir.h"
#include "transmit/Clock.h"
#include "transmit/Transmitter.h"
#include "transmit/WindowDebugLog.h"

#include <functional>

namespace kx::test {

// Stands in for the selection dialog: remembers what it was offered and picks one
// candidate by its position, or cancels (the default). `whileOpen` runs as the user's other
// clicks would.
class PickingChooser : public transmit::WindowChooser
{
public:
    std::optional<platform::WindowHandle> choose(
        const std::vector<transmit::WindowCandidate>& candidates) override
    {
        offered = candidates;
        if (whileOpen)
            whileOpen();
        if (!pick)
            return std::nullopt;
        return candidates.at(*pick).window;
    }

    std::optional<std::size_t> pick;
    std::vector<transmit::WindowCandidate> offered;
    std::function<void()> whileOpen;
};

// The program's send pipeline on the fake desktop, over a configuration file of its own
// holding `ini`. `main` is the program's main window (0: none).
struct SendStack
{
    explicit SendStack(std::string_view ini)
        : file(dir.write("Kalmotex.ini", ini).string())
    {
    }

    TempDir dir;
    std::string file;
    config::ConfigAccess config { file };
    SequenceRandom random { { 0.5 } };
    store::EntryStore entries { config, random };
    store::IgnoredTitles ignored { config };
    platform::FakeDesktop desktop;
    platform::WindowHandle main = 0;
    ScriptedPrompts prompts;
    PickingChooser chooser;
    transmit::WindowDebugLines lines;
    transmit::FixedClock clock { 2024, 2, 29, 8, 5, 0 };
    transmit::Transmitter transmitter { { entries,
        ignored,
        desktop,
        desktop,
        desktop,
        prompts,
        chooser,
        lines,
        clock,
        desktop,
        [this] { return main; } } };
};

} // namespace kx::test
