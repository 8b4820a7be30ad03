// Start-up of the main window over a configuration with 32,767 entries: from creating the
// services to the window shown with the first entry in the editor, and its main steps.
// Lines starting with "figure:" go to the summary of scripts/bench.
#include "config/ConfigAccess.h"
#include "help/Help.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "store/TimeSeededRandom.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "text/Text.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

class NoOpener : public kx::help::DocumentOpener
{
public:
    void open(const std::string&) override { }
};

std::string bigConfiguration(int entries)
{
    std::string name = "[Name]\r\n", title = "[Title]\r\n", text = "[Text]\r\n", crypt = "[Crypt]\r\n";
    unsigned seed = 12345;
    for (int i = 1; i <= entries; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::string k = std::to_string(i);
        name += k + "=Baustein " + std::to_string(seed % 100000) + " Nr. " + k + "\r\n";
        if (i % 7 == 0)
            title += k + "=Fenster " + std::to_string(i % 50) + "\r\n";
        text += k + "=Text von " + k + "\\NZeile zwei\\Tmit Tab\r\n";
        crypt += k + "=0\r\n";
    }
    return name + title + text + crypt + "[Ignore]\r\n1=DFÜ-Netzwerkmonitor\r\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    constexpr int entries = 32767;
    kx::test::TempDir dir;
    const std::string path = dir.write("Kalmotex.ini", bigConfiguration(entries)).string();

    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        kx::config::ConfigAccess config(path);
        kx::store::TimeSeededRandom random;
        kx::store::EntryStore store(config, random);
        kx::store::IgnoredTitles ignored(config);
        kx::test::ScriptedPrompts prompts;
        NoOpener opener;
        auto form = std::make_unique<kx::ui::MainWindow>(
            kx::ui::MainWindowServices { store, ignored, prompts, opener },
            kx::ui::StartupPaths { path, dir.file("sample.ini").string(), dir.path().string() });
        form->load({ "debug" });
        QApplication::processEvents();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (form->entryList()->count() != entries || !form->isVisible()) {
            std::fprintf(stderr, "start-up did not show %d entries\n", entries);
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());

    // Where the time goes: reading the entry names and titles, sorting the names (by the
    // pairwise comparison and by keys, as the window does), and filling the list with them.
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::vector<double> readMs, pairwiseMs, keyedMs, fillMs;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        kx::config::ConfigAccess config(path);
        kx::store::TimeSeededRandom random;
        kx::store::EntryStore store(config, random);
        const auto items = store.enumerateEntries();
        readMs.push_back(timer.nsecsElapsed() / 1e6);
        std::vector<std::string> names;
        for (const auto& item : items)
            names.push_back(item.name);
        timer.restart();
        std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return kx::text::compareForSortedList(a, b) < 0;
        });
        pairwiseMs.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        const auto order
            = kx::text::sortedListOrder(std::vector<std::string_view>(names.begin(), names.end()));
        keyedMs.push_back(timer.nsecsElapsed() / 1e6);
        QListWidget list;
        timer.restart();
        for (const std::size_t i : order)
            list.addItem(QString::fromStdString(names[i]));
        fillMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("start-up with %d entries to the window shown, runs: min %.0f ms, max %.0f ms\n",
        entries,
        ms.front(),
        ms.back());
    std::printf("figure: start-up to the window, 32,767 entries | %.0f ms | < 100 ms\n", ms[ms.size() / 2]);
    std::printf("figure:   of which reading the names and titles | %.0f ms |\n", median(readMs));
    std::printf("figure:   of which sorting the names | %.0f ms | (pairwise comparison: %.0f ms)\n",
        median(keyedMs),
        median(pairwiseMs));
    std::printf("figure:   of which filling the list | %.0f ms |\n", median(fillMs));
    return 0;
}
