#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QRadioButton;
class QTabBar;

namespace kx::platform {
class Prompts;
}
namespace kx::store {
class EntryCommands;
class EntryStore;
class IgnoredTitles;
class TeamLibrary;
} // namespace kx::store
namespace kx::help {
class DocumentOpener;
}
namespace kx::popup {
class HotkeyController;
class OneCombinationEdit;
class OptionsController;
class TrayController;
} // namespace kx::popup

namespace kx::ui {

class AboutDialog;
class CaptionButton;
class SnippetEditor;
class TitleComboBox;

// What the main window works with; owned by the program's composition root.
struct MainWindowServices
{
    store::EntryStore& entries;
    store::IgnoredTitles& ignoredTitles;
    platform::Prompts& prompts;
    help::DocumentOpener& documentOpener;
    // The file `TeamFile` names, shown instead of one's own entries on the "Team" tab;
    // null for none.
    store::TeamLibrary* team = nullptr;
};

// Where the program's files are, decided before start-up.
struct StartupPaths
{
    std::string configFilePath; // Kalmotex.ini
    std::string sampleIniPath; // the sample copied to it when it is missing
    std::string helpFolder; // where hilfe.htm / index.htm are looked up
};

// The main window and start-up object: the entry list, the editor, the sending options of
// the current entry and the commands. Its load runs the program's start-up, its unload
// the shutdown. Its code is split by concern: MainWindow.cpp (controls, start-up,
// layout), MainWindowEntryList.cpp, MainWindowEditorPane.cpp, MainWindowCommands.cpp,
// MainWindowTeam.cpp (switching between one's own and the team's entries).
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(MainWindowServices services, StartupPaths paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up, in its fixed order. `arguments` are the command-line arguments after the
    // program name.
    void load(const std::vector<std::string>& arguments);
    // Shutdown; runs once, further calls do nothing. Saves nothing.
    void unload();
    // "&Beenden": unload, then end the event loop.
    void exitProgram();

    // The notification-area icon and its popup menu, registered at start-up in normal mode.
    void setTray(popup::TrayController* tray) { m_tray = tray; }
    // The options, the border strip, the options dialog and the autostart switch, which
    // start-up and shutdown drive. Set before load().
    void setOptions(popup::OptionsController* options) { m_options = options; }
    // The global hotkeys; with one that handles entries, the editor pane shows the field
    // for the current entry's own combination. Null (the default): no such field.
    void setHotkeys(popup::HotkeyController* hotkeys);

    bool debugMode() const { return m_debugMode; }

    void loadEntryList();
    void refreshCommandState();
    void showCurrentEntry();

    void newEntry();
    void renameEntry();
    void deleteEntry();
    void writeCurrentText();
    // False when another program deleted or renamed the entry: nothing was written, and
    // the list was read again.
    bool writeEntryField(const std::string& section, const std::string& value);

    void cutText();
    void copyText();
    void pasteText();
    void deleteText();
    void searchText();
    void findNext();

    void showHelp();
    void showAbout();
    void addComboHistory(QComboBox* combo);

    int currEntryListIndex() const { return m_currEntryListIndex; }
    const QString& searchTextValue() const { return m_searchText; }

    // The controls: built on first use (see ensureBuilt).
    SnippetEditor* editor() { return built(m_editor); }
    QListWidget* entryList() { return built(m_entryList); }
    // "Eigene" (0) and "Team" (1) above the entry list; hidden while no team file is set.
    QTabBar* libraryTabs() { return built(m_libraryTabs); }
    QMenu* editMenu() { return built(m_editMenu); }

    void setVisible(bool visible) override;

signals:
    // The debugger, options dialog and window-list monitor live elsewhere; these ask for them.
    void optionsRequested(bool modal);
    void extraOptionsRequested();
    void debuggerRequested();
    void windowListMonitorRequested();
    // Shutdown closes the windows that live elsewhere, in this order (see closeOtherWindows).
    void closeDebuggerRequested();
    void closeWindowListMonitorRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Start-up and shutdown steps that other parts of the program fill in.
    void removeStaleAutostartValue();
    bool installTrayIconAndHide();
    void applyBorderStripOptions();
    void placeBorderStrip();
    void showWindowListMonitor();
    void closeOtherWindows();
    void removeTrayIcon();

    void seedConfigFile();
    // The window as it opens: its background, its size as the least, at the screen's centre.
    void applyStartLayout();

    // The controls, menus and their connections. Most runs stay in the notification area
    // and never show the window: built at start, they would cost about 5 MiB and part of
    // the start-up for nothing. Showing the window, asking for a control, or reading the
    // list or the current entry builds them; the commands come from the controls.
    void ensureBuilt();
    // `control` is a member, read by reference once the build has set it.
    template <typename Control> Control* built(Control* const& control)
    {
        ensureBuilt();
        return control;
    }

    void buildControls();
    void buildMenus();
    void layoutControls(QWidget* client);
    // Gives the command buttons and the side panes the room their captions need.
    void fitToCaptions();
    int twips(int value) const;
    QRect twipsRect(int left, int top, int width, int height) const;

    void onEntryListRowChanged(int row);
    void onDestinationTypeClicked(int index);
    void onDosBoxToggled(bool checked);
    void onFocusChanged(QWidget* old, QWidget* now);
    void onTitleBoxFocusLost();
    void onHotkeyFieldLeft();
    void showHotkeyField();
    void selectListRow(int row);
    int insertSortedEntry(const QString& name, int number);
    std::vector<std::string> listNames() const;
    std::vector<int> listNumbers() const;
    void setBackColour(QWidget* widget, bool windowBackground);

    // The entries shown (one's own, or the team's on the "Team" tab) and their commands.
    store::EntryStore& shownEntries();
    store::EntryCommands& commands();
    QTabBar* buildLibraryTabs(QWidget* parent);
    void onLibraryChanged(int index);
    // Looks at the team file as it is now: shows or hides the tabs, and whether it can be edited.
    void refreshTeam();
    bool editingLocked() const { return m_showsTeam && m_teamLocked; }
    void applyEditingLock();
    // After a write to `item`'s entry, which is now `number`: the item follows it, or the
    // list is read again when it is gone (0). False when gone.
    bool followEntry(QListWidgetItem* item, int number);

    MainWindowServices m_services;
    StartupPaths m_paths;
    std::unique_ptr<store::EntryCommands> m_commands;
    std::unique_ptr<store::EntryCommands> m_teamCommands;
    const store::EntryStore* m_teamCommandsStore = nullptr; // what m_teamCommands works on
    bool m_showsTeam = false;
    bool m_teamLocked = true; // missing, unreadable or read-only
    QString m_teamTip;

    bool m_debugMode = false;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_hiddenAtStart = false;
    bool m_built = false;
    // Filled when the window is first shown: in the tray most starts never show it, and
    // the largest lists cost start-up time and a few MiB.
    bool m_entryListPending = false;

    int m_currEntryListIndex = -1;
    QString m_searchText;
    std::vector<std::string> m_typedTitles; // stay in the title box when the list is read again
    bool m_titleModePending = false;
    bool m_entryRefreshing = false;

    qreal m_dpi = 96;

    QGroupBox* m_listFrame = nullptr;
    QTabBar* m_libraryTabs = nullptr;
    QListWidget* m_entryList = nullptr;
    QWidget* m_container1 = nullptr;
    QGroupBox* m_textFrame = nullptr;
    SnippetEditor* m_editor = nullptr;
    QWidget* m_container2 = nullptr;
    QCheckBox* m_keyRecordModeCheckBox = nullptr;
    QCheckBox* m_cryptCheckBox = nullptr;
    QCheckBox* m_dosBoxCheckBox = nullptr;
    QLabel* m_label1 = nullptr;
    QRadioButton* m_destinationType[2] = { nullptr, nullptr };
    QButtonGroup* m_destinationTypeGroup = nullptr;
    TitleComboBox* m_destinationTextList = nullptr;
    QLabel* m_hotkeyLabel = nullptr;
    popup::OneCombinationEdit* m_hotkeyEdit = nullptr;
    QListWidget* m_sortList = nullptr;
    QGroupBox* m_commandFrame = nullptr;
    // The command buttons, by the number in their object name ("Btn_8") and picture.
    enum Button
    {
        DebugButton = 0,
        DeleteButton = 1,
        RenameButton = 2,
        OkButton = 3,
        OptionsButton = 4,
        AboutButton = 5,
        NewButton = 8,
        HelpButton = 10,
    };
    CaptionButton* m_buttons[11] = {};

    QMenu* m_editMenu = nullptr;
    // The items of the "&Bearbeiten" and "&Texte" menus, by the number in their object name.
    enum EditAction
    {
        CutAction = 1,
        CopyAction = 2,
        PasteAction = 3,
        DeleteAction = 4,
        EditSeparator = 5,
        FindAction = 6,
        FindNextAction = 7,
    };
    enum EntryAction
    {
        NewEntryAction = 1,
        RenameEntryAction = 2,
        DeleteEntryAction = 3,
    };
    QAction* m_editActions[8] = {};
    QAction* m_entryActions[4] = {};

    QPointer<AboutDialog> m_about;
    popup::TrayController* m_tray = nullptr;
    popup::OptionsController* m_options = nullptr;
    popup::HotkeyController* m_hotkeys = nullptr;
};

} // namespace kx::ui
