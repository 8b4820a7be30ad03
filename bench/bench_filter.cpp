// Type to filter with the largest menu: 32,767 entries. One key press is the scan of the
// folded names alone, and the scan plus the update of the open menu (rows, size, one paint)
// under the offscreen platform.
#include "popup/PopupMenu.h"
#include "popup/qt/PopupMenuWidget.h"
#include "text/NameFilter.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

using namespace kx;

namespace {

constexpr int entryCount = 32767;

std::vector<std::string> entryNames()
{
    static const std::array<const char*, 8> words = {
        "Grüße an Müller",
        "Adresse Straße",
        "Angebot",
        "Ärger mit Öfen",
        "Rechnung",
        "Signatur",
        "R&&D-Bericht",
        "Übergabe",
    };
    std::vector<std::string> names;
    names.reserve(entryCount);
    for (int i = 1; i <= entryCount; ++i)
        names.push_back(
            std::string(words[static_cast<std::size_t>(i) % words.size()]) + " " + std::to_string(i));
    return names;
}

void coreKeyPress(benchmark::State& state, const char* typed)
{
    text::NameFilter filter;
    filter.setNames(entryNames());
    std::size_t found = 0;
    for (auto _ : state) {
        const auto matches = filter.matches(typed);
        found = matches.size();
        benchmark::DoNotOptimize(matches.data());
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(coreKeyPress, fewMatches_muellerOne, "müller 1")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(coreKeyPress, manyMatches_e, "e")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(coreKeyPress, noMatch, "xyz")->Unit(benchmark::kMillisecond);

void foldOnOpening(benchmark::State& state)
{
    const std::vector<std::string> names = entryNames();
    for (auto _ : state) {
        text::NameFilter filter;
        filter.setNames(names);
        benchmark::DoNotOptimize(filter.size());
    }
}
BENCHMARK(foldOnOpening)->Unit(benchmark::kMillisecond);

struct OpenMenu
{
    OpenMenu()
    {
        std::vector<popup::MenuItem> items;
        int number = 1;
        for (std::string& name : entryNames())
            items.push_back({ std::move(name), { popup::MenuCommand::SendEntry, number++ } });
        for (popup::MenuItem fixed : { popup::MenuItem { "-", {} },
                 popup::MenuItem { "&Bearbeiten", { popup::MenuCommand::ShowMainWindow, 0 } },
                 popup::MenuItem { "-", {} },
                 popup::MenuItem { "&Abbrechen", {} },
                 popup::MenuItem { "B&eenden", { popup::MenuCommand::Exit, 0 } } })
            items.push_back(fixed);
        const int count = static_cast<int>(items.size());
        menu.setTypeToFilter(true);
        menu.setItems(std::move(items), count - 3);
        menu.popup({ 10, 10 });
        QApplication::processEvents();
    }
    ~OpenMenu() { menu.hide(); }

    // A key press as the menu receives it, followed by the paint it causes.
    void press(int key, const QString& text)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&menu, &event);
        menu.repaint();
    }

    popup::PopupMenuWidget menu;
};

// A letter typed into an empty filter: 32,767 rows shrink to the matches.
void menuKeyPressNarrows(benchmark::State& state)
{
    OpenMenu open;
    int rows = 0;
    for (auto _ : state) {
        open.press(Qt::Key_R, "r");
        state.PauseTiming();
        rows = open.menu.count();
        open.press(Qt::Key_Backspace, {});
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(menuKeyPressNarrows)->Unit(benchmark::kMillisecond);

// Backspace on a one-letter filter: every row comes back.
void menuBackspaceWidens(benchmark::State& state)
{
    OpenMenu open;
    for (auto _ : state) {
        state.PauseTiming();
        open.press(Qt::Key_E, "e");
        state.ResumeTiming();
        open.press(Qt::Key_Backspace, {});
    }
    state.counters["rows"] = open.menu.count();
}
BENCHMARK(menuBackspaceWidens)->Unit(benchmark::kMillisecond);

// A further letter on a filter that still matches many entries.
void menuKeyPressRefines(benchmark::State& state)
{
    OpenMenu open;
    open.press(Qt::Key_E, "e");
    int rows = 0;
    for (auto _ : state) {
        open.press(Qt::Key_1, "1");
        state.PauseTiming();
        rows = open.menu.count();
        open.press(Qt::Key_Backspace, {});
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(menuKeyPressRefines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
