#pragma once

#include "backends/fake/FakeAutostartStore.h"
#include "config/ConfigAccess.h"
#include "popup/qt/BorderStrip.h"
#include "popup/qt/OptionsController.h"
#include "popup/qt/OptionsDialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <QColor>
#include <QTest>
#include <QWidget>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kx::test {

struct OptionsFixture
{
    explicit OptionsFixture(const std::string& iniContents) { dir.write("Kalmotex.ini", iniContents); }

    // Loads the options (which sets the dialog up), places the strip, as at start-up, and
    // shows the dialog (modal as from the menu); true once it shows.
    bool open(bool modal = false)
    {
        controller = std::make_unique<popup::OptionsController>(popup::OptionsController::Borrowed { config,
            autostart,
            prompts,
            "/opt/kalmotex/kalmotex",
            [this] { ++menusOpened; },
            nullptr,
            [this](const QColor& initial) -> std::optional<QColor> {
                colourDialogStarts.push_back(initial);
                if (colourAnswers.empty())
                    return std::nullopt;
                const std::optional<QColor> answer = colourAnswers.front();
                colourAnswers.pop_front();
                return answer;
            } });
        controller->removeStaleAutostartEntry();
        controller->loadOptions();
        controller->placeBorderStrip();
        controller->showOptionsDialog(modal);
        return QTest::qWaitForWindowExposed(&dialog());
    }

    std::string fileBytes() const { return readBytes(dir.file("Kalmotex.ini")); }

    popup::OptionsDialog& dialog() { return controller->dialog(); }
    popup::BorderStrip& strip() { return controller->borderStrip(); }

    template <typename T> T* find(const QString& name) { return dialog().findChild<T*>(name); }

    TempDir dir;
    config::ConfigAccess config { dir.file("Kalmotex.ini").string() };
    kx::platform::FakeAutostartStore autostart;
    ScriptedPrompts prompts;
    int menusOpened = 0;
    std::vector<QColor> colourDialogStarts;
    std::deque<std::optional<QColor>> colourAnswers; // nothing = the user cancels
    std::unique_ptr<popup::OptionsController> controller;
};

} // namespace kx::test
