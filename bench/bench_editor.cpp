// Filling the entry editor: a 32,766-character text with 2,000 Enter/Tab symbols.
#include "ui/EditorText.h"
#include "ui/SnippetEditor.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // 32,766 characters; every 16th one an Enter or a Tab (alternating): 2,000 symbols.
    std::string plain;
    int symbols = 0;
    for (int i = 0; plain.size() < 32766; ++i) {
        if (i % 16 == 15 && symbols < 2000) {
            plain += symbols % 2 == 0 ? '\r' : '\t';
            ++symbols;
        } else {
            plain += static_cast<char>('a' + i % 26);
        }
    }
    const QString editorForm = QString::fromStdString(kx::ui::plainTextToEditor(plain));

    kx::ui::SnippetEditor editor;
    editor.resize(330, 260);
    editor.show();
    QApplication::processEvents();

    constexpr int runs = 20;
    std::vector<double> fill;
    std::vector<double> fillAndPaint;
    std::vector<double> readBack;
    for (int run = 0; run < runs; ++run) {
        editor.showTextInEditor(run % 2 == 0 ? editorForm : QStringLiteral("kurz"));
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        editor.showTextInEditor(editorForm);
        fill.push_back(timer.nsecsElapsed() / 1e6);
        editor.viewport()->repaint();
        fillAndPaint.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        const std::string stored = kx::ui::editorTextToStored(editor.editorText().toStdString());
        readBack.push_back(timer.nsecsElapsed() / 1e6);
        if (stored.size() < plain.size())
            return 1;
    }
    auto report = [](const char* what, std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        std::printf("%-34s median %7.2f ms   min %7.2f ms   max %7.2f ms\n",
            what,
            ms[ms.size() / 2],
            ms.front(),
            ms.back());
    };
    std::printf("editor text: %lld characters, %d symbols, %d runs\n",
        static_cast<long long>(plain.size()),
        symbols,
        runs);
    report("showTextInEditor", fill);
    report("showTextInEditor + first paint", fillAndPaint);
    report("editor text to stored form", readBack);
    return 0;
}
