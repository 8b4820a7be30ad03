#pragma once

#include "config/ConfigAccess.h"
#include "help/Help.h"
#include "store/EntryStore.h"
#include "store/IgnoredTitles.h"
#include "store/TeamLibrary.h"
#include "store/TimeSeededRandom.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/MainWindow.h"

#include <QListWidget>
#include <QString>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace kx::test {

class RecordingOpener : public help::DocumentOpener
{
public:
    void open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

struct MainWindowFixture
{
    explicit MainWindowFixture(const std::string& iniContents = {}, bool writeIni = true)
    {
        if (writeIni)
            dir.write("Kalmotex.ini", iniContents);
    }
    // Every prompt the window showed was one the test scripted, and every scripted one came.
    ~MainWindowFixture() { QVERIFY2(prompts.wentAsScripted(), prompts.report().c_str()); }

    // The configuration file, the sample beside it and the program's folder.
    ui::StartupPaths paths() const
    {
        return { configFilePath.empty() ? dir.file("Kalmotex.ini").string() : configFilePath,
            dir.file("sample.ini").string(),
            dir.path().string() };
    }

    ui::MainWindow& start(const std::vector<std::string>& arguments = {})
    {
        config = std::make_unique<config::ConfigAccess>(paths().configFilePath);
        entries = std::make_unique<store::EntryStore>(*config, random);
        ignored = std::make_unique<store::IgnoredTitles>(*config);
        form = std::make_unique<ui::MainWindow>(
            ui::MainWindowServices { *entries, *ignored, prompts, opener, &team },
            paths());
        form->load(arguments);
        return *form;
    }

    std::string value(const std::string& section, const std::string& key)
    {
        return config->readIniString(section, key, "<missing>");
    }

    QStringList listNames() const
    {
        QStringList names;
        for (int i = 0; i < form->entryList()->count(); ++i)
            names << form->entryList()->item(i)->text();
        return names;
    }

    int numberAt(int row) const { return form->entryList()->item(row)->data(Qt::UserRole).toInt(); }

    template <typename T> T* find(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    TempDir dir;
    std::string configFilePath; // empty: Kalmotex.ini in dir
    std::unique_ptr<config::ConfigAccess> config;
    store::TimeSeededRandom random;
    store::TeamLibrary team { random };
    ScriptedPrompts prompts;
    RecordingOpener opener;
    std::unique_ptr<store::EntryStore> entries;
    std::unique_ptr<store::IgnoredTitles> ignored;
    std::unique_ptr<ui::MainWindow> form;
};

// Entries 1 "Gruß", 2 "adresse" (title "Editor"), 3 "Äpfel" (A CR B TAB C), 4 "Apfel".
inline const char* const fourEntries = "[Name]\r\n1=Gruß\r\n2=adresse\r\n3=Äpfel\r\n4=Apfel\r\n"
                                       "[Title]\r\n2=Editor\r\n"
                                       "[Text]\r\n1=Hallo\r\n2=Straße 1\r\n3=A\\NB\\TC\r\n4=xAbyab\r\n"
                                       "[Crypt]\r\n[DosBox]\r\n2=1\r\n";

} // namespace kx::test
