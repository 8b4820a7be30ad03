#include "ui/MainWindow.h"

#include "config/CommandLine.h"
#include "help/Help.h"
#include "platform/Prompts.h"
#include "popup/qt/OneCombinationEdit.h"
#include "popup/qt/OptionsController.h"
#include "popup/qt/TrayController.h"
#include "store/EntryCommands.h"
#include "store/IgnoredTitles.h"
#include "ui/AboutDialog.h"
#include "ui/CaptionButton.h"
#include "ui/SnippetEditor.h"
#include "ui/TitleComboBox.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>

#include <filesystem>
#include <system_error>
#include <utility>

namespace kx::ui {

namespace {

constexpr int designClientWidth = 9255;
constexpr int designClientHeight = 5565;

} // namespace

MainWindow::MainWindow(MainWindowServices services, StartupPaths paths, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_paths(std::move(paths))
    , m_commands(std::make_unique<store::EntryCommands>(services.entries, services.prompts))
{
    setObjectName(QStringLiteral("MainForm"));
}

void MainWindow::ensureBuilt()
{
    if (m_built)
        return;
    m_built = true;
    if (const QScreen* s = screen())
        m_dpi = s->logicalDotsPerInch();
    buildControls();
    buildMenus();
    // Client area at design size, or larger when the captions need it; the menu bar comes
    // on top of it.
    const QSize design(twips(designClientWidth), twips(designClientHeight) + menuBar()->sizeHint().height());
    resize(design.expandedTo(minimumSizeHint()));
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::onFocusChanged);
    showHotkeyField();
    if (m_loaded)
        applyStartLayout();
}

void MainWindow::setVisible(bool visible)
{
    if (visible)
        ensureBuilt();
    QMainWindow::setVisible(visible);
}

MainWindow::~MainWindow()
{
    // Destroying the children moves the focus and empties lists; this object, already
    // half gone, must not hear of it any more.
    disconnect(qApp, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

int MainWindow::twips(int value) const { return qRound(value * m_dpi / 1440.0); }

QRect MainWindow::twipsRect(int left, int top, int width, int height) const
{
    // Edges converted, so neighbouring controls stay flush.
    const int l = twips(left);
    const int t = twips(top);
    return QRect(l, t, twips(left + width) - l, twips(top + height) - t);
}

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    // The controls use the desktop's font, so they grow with it; the design sizes below
    // are where the layouts start, never less than what the captions need.

    auto* line = new QFrame(client);
    line->setObjectName(QStringLiteral("MenueLinie"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 0, 10000, 2);

    // Left pane: the list takes the height, the buttons stay at the bottom.
    m_listFrame = new QGroupBox(QStringLiteral("Textbausteine"), client);
    m_listFrame->setObjectName(QStringLiteral("ListenFrame"));
    buildLibraryTabs(m_listFrame);
    m_entryList = new QListWidget(m_listFrame);
    m_entryList->setObjectName(QStringLiteral("lbEntryList"));
    m_entryList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entryList->setUniformItemSizes(true);
    m_container1 = new QWidget(m_listFrame);
    m_container1->setObjectName(QStringLiteral("Container1"));

    auto makeButton = [this](int index, const QString& caption, QWidget* parent) {
        auto* button = new CaptionButton(caption, buttonPicture(index), parent);
        button->setObjectName(QStringLiteral("Btn_%1").arg(index));
        m_buttons[index] = button;
        return button;
    };
    makeButton(NewButton, QStringLiteral("&Neu"), m_container1);
    makeButton(RenameButton, QStringLiteral("&Umbe- nennen"), m_container1);
    makeButton(DeleteButton, QStringLiteral("&Löschen"), m_container1);

    // Middle pane: the editor takes all extra room, the sending options stay below it.
    m_textFrame = new QGroupBox(QStringLiteral("Bearbeitung"), client);
    m_textFrame->setObjectName(QStringLiteral("TextFrame"));
    m_editor = new SnippetEditor(m_textFrame);
    m_editor->setMinimumSize(twips(1200), twips(600));
    m_container2 = new QWidget(m_textFrame);
    m_container2->setObjectName(QStringLiteral("Container2"));

    m_keyRecordModeCheckBox = new QCheckBox(QStringLiteral("&Steuertasten einfügen"), m_container2);
    m_keyRecordModeCheckBox->setObjectName(QStringLiteral("KeyRecordModeChk"));
    // It has no function; shown greyed so nobody expects one.
    m_keyRecordModeCheckBox->setEnabled(false);
    m_cryptCheckBox = new QCheckBox(QStringLiteral("&Chiffrieren"), m_container2);
    m_cryptCheckBox->setObjectName(QStringLiteral("CryptChk"));
    m_dosBoxCheckBox = new QCheckBox(QStringLiteral("DOS-Bo&x"), m_container2);
    m_dosBoxCheckBox->setObjectName(QStringLiteral("DosBoxChk"));
    m_label1 = new QLabel(QStringLiteral("Senden an das"), m_container2);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_destinationType[0] = new QRadioButton(QStringLiteral("zuletzt benutzte &Fenster "), m_container2);
    m_destinationType[0]->setObjectName(QStringLiteral("OptDestinationType_0"));
    m_destinationType[1] = new QRadioButton(QStringLiteral("Fenster mit diesem &Titel:"), m_container2);
    m_destinationType[1]->setObjectName(QStringLiteral("OptDestinationType_1"));
    m_destinationTypeGroup = new QButtonGroup(this);
    m_destinationTypeGroup->addButton(m_destinationType[0], 0);
    m_destinationTypeGroup->addButton(m_destinationType[1], 1);
    m_destinationTextList = new TitleComboBox(m_container2);
    m_destinationTextList->setObjectName(QStringLiteral("DestinationTextList"));
    m_destinationTextList->setEditable(true);
    m_destinationTextList->setInsertPolicy(QComboBox::NoInsert);
    // A typed title stays as typed: no completion from the list.
    m_destinationTextList->setCompleter(nullptr);
    m_destinationTextList->setMinimumWidth(twips(1515));
    m_destinationTextList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_destinationTextList->lineEdit()->setObjectName(QStringLiteral("DestinationTextListEdit"));
    m_hotkeyLabel = new QLabel(QStringLiteral("Tasten&kürzel:"), m_container2);
    // The recorded combination hands the focus on, which stores it.
    m_hotkeyEdit
        = new popup::OneCombinationEdit([this] { m_buttons[OkButton]->setFocus(Qt::OtherFocusReason); },
            m_container2);
    m_hotkeyEdit->setObjectName(QStringLiteral("EntryHotkeyEdit"));
    m_hotkeyEdit->setClearButtonEnabled(true);
    m_hotkeyLabel->setBuddy(m_hotkeyEdit);
    m_hotkeyLabel->setVisible(false);
    m_hotkeyEdit->setVisible(false);

    // A sorting aid, never shown, so outside the layouts.
    m_sortList = new QListWidget(m_textFrame);
    m_sortList->setObjectName(QStringLiteral("SortList"));
    m_sortList->setGeometry(twipsRect(3540, 0, 1335, 255));
    m_sortList->addItem(QStringLiteral("sortlist - invisible"));
    m_sortList->setVisible(false);

    // Right pane: the command buttons, top down.
    m_commandFrame = new QGroupBox(QStringLiteral("Steuerung"), client);
    m_commandFrame->setObjectName(QStringLiteral("SteuerungsFrame"));
    makeButton(OkButton, QStringLiteral("&OK"), m_commandFrame);
    QFont bold = m_buttons[OkButton]->font();
    bold.setBold(true);
    m_buttons[OkButton]->setFont(bold);
    makeButton(HelpButton, QStringLiteral("&Hilfe"), m_commandFrame);
    makeButton(AboutButton, QStringLiteral("&Info"), m_commandFrame);
    makeButton(DebugButton, QStringLiteral("Debu&g"), m_commandFrame);
    makeButton(OptionsButton, QStringLiteral("&Optionen"), m_commandFrame);

    layoutControls(client);

    QWidget* order[] = { m_libraryTabs,
        m_entryList,
        m_buttons[NewButton],
        m_buttons[RenameButton],
        m_buttons[DeleteButton],
        m_editor,
        m_keyRecordModeCheckBox,
        m_cryptCheckBox,
        m_dosBoxCheckBox,
        m_destinationType[0],
        m_destinationType[1],
        m_destinationTextList,
        m_hotkeyEdit,
        m_buttons[OkButton],
        m_buttons[HelpButton],
        m_buttons[AboutButton],
        m_buttons[DebugButton],
        m_buttons[OptionsButton] };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_entryList, &QListWidget::currentRowChanged, this, &MainWindow::onEntryListRowChanged);
    connect(m_destinationType[0], &QRadioButton::clicked, this, [this] { onDestinationTypeClicked(0); });
    connect(m_destinationType[1], &QRadioButton::clicked, this, [this] { onDestinationTypeClicked(1); });
    connect(m_dosBoxCheckBox, &QCheckBox::toggled, this, &MainWindow::onDosBoxToggled);
    connect(m_destinationTextList, &TitleComboBox::aboutToDropDown, this, [this] {
        addComboHistory(m_destinationTextList);
    });
    connect(m_editor, &SnippetEditor::focusLost, this, &MainWindow::writeCurrentText);
    connect(m_editor, &SnippetEditor::contextMenuWanted, this, [this](const QPoint& at) {
        refreshCommandState();
        m_editMenu->popup(at);
    });

    connect(m_buttons[NewButton], &QPushButton::clicked, this, &MainWindow::newEntry);
    connect(m_buttons[RenameButton], &QPushButton::clicked, this, &MainWindow::renameEntry);
    connect(m_buttons[DeleteButton], &QPushButton::clicked, this, &MainWindow::deleteEntry);
    connect(m_buttons[OkButton], &QPushButton::clicked, this, &QWidget::hide);
    connect(m_buttons[HelpButton], &QPushButton::clicked, this, &MainWindow::showHelp);
    connect(m_buttons[AboutButton], &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(m_buttons[DebugButton], &QPushButton::clicked, this, &MainWindow::debuggerRequested);
    connect(m_buttons[OptionsButton], &QPushButton::clicked, this, [this] { emit optionsRequested(false); });

    m_commandFrame->installEventFilter(this);
    m_textFrame->installEventFilter(this);
}

void MainWindow::buildMenus()
{
    auto addItem = [this](QMenu* menu, const QString& array, int index, const QString& caption) {
        QAction* action = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
        action->setObjectName(QStringLiteral("%1_%2").arg(array).arg(index));
        action->setParent(menu);
        return action;
    };

    QMenu* mDatei = menuBar()->addMenu(QStringLiteral("&Datei"));
    mDatei->setObjectName(QStringLiteral("mDatei"));
    QAction* hide = addItem(mDatei, QStringLiteral("meDatei"), 1, QStringLiteral("&Ausblenden"));
    hide->setShortcut(Qt::Key_F11);
    addItem(mDatei, QStringLiteral("meDatei"), 2, QStringLiteral("-"));
    QAction* quit = addItem(mDatei, QStringLiteral("meDatei"), 3, QStringLiteral("&Beenden"));
    connect(hide, &QAction::triggered, this, &QWidget::hide);
    connect(quit, &QAction::triggered, this, &MainWindow::exitProgram);

    m_editMenu = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    m_editMenu->setObjectName(QStringLiteral("mBearbeiten"));
    const QString edit = QStringLiteral("meBearbeiten");
    m_editActions[CutAction] = addItem(m_editMenu, edit, CutAction, QStringLiteral("&Ausschneiden"));
    m_editActions[CopyAction] = addItem(m_editMenu, edit, CopyAction, QStringLiteral("&Kopieren"));
    m_editActions[PasteAction] = addItem(m_editMenu, edit, PasteAction, QStringLiteral("&Einfügen"));
    m_editActions[DeleteAction] = addItem(m_editMenu, edit, DeleteAction, QStringLiteral("&Löschen"));
    m_editActions[EditSeparator] = addItem(m_editMenu, edit, EditSeparator, QStringLiteral("-"));
    m_editActions[FindAction] = addItem(m_editMenu, edit, FindAction, QStringLiteral("&Suchen..."));
    m_editActions[FindNextAction]
        = addItem(m_editMenu, edit, FindNextAction, QStringLiteral("&Weitersuchen"));
    m_editActions[CutAction]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    m_editActions[CopyAction]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_editActions[PasteAction]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_editActions[DeleteAction]->setShortcut(Qt::Key_Delete);
    m_editActions[FindAction]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_editActions[FindNextAction]->setShortcut(Qt::Key_F3);
    connect(m_editActions[CutAction], &QAction::triggered, this, &MainWindow::cutText);
    connect(m_editActions[CopyAction], &QAction::triggered, this, &MainWindow::copyText);
    connect(m_editActions[PasteAction], &QAction::triggered, this, &MainWindow::pasteText);
    connect(m_editActions[DeleteAction], &QAction::triggered, this, &MainWindow::deleteText);
    connect(m_editActions[FindAction], &QAction::triggered, this, &MainWindow::searchText);
    connect(m_editActions[FindNextAction], &QAction::triggered, this, &MainWindow::findNext);
    connect(m_editMenu, &QMenu::aboutToShow, this, &MainWindow::refreshCommandState);

    QMenu* mTexte = menuBar()->addMenu(QStringLiteral("&Texte"));
    mTexte->setObjectName(QStringLiteral("mTexte"));
    m_entryActions[NewEntryAction]
        = addItem(mTexte, QStringLiteral("meTexte"), NewEntryAction, QStringLiteral("&Neu..."));
    m_entryActions[RenameEntryAction]
        = addItem(mTexte, QStringLiteral("meTexte"), RenameEntryAction, QStringLiteral("&Umbenennen..."));
    m_entryActions[DeleteEntryAction]
        = addItem(mTexte, QStringLiteral("meTexte"), DeleteEntryAction, QStringLiteral("&Löschen"));
    connect(m_entryActions[NewEntryAction], &QAction::triggered, this, &MainWindow::newEntry);
    connect(m_entryActions[RenameEntryAction], &QAction::triggered, this, &MainWindow::renameEntry);
    connect(m_entryActions[DeleteEntryAction], &QAction::triggered, this, &MainWindow::deleteEntry);

    QMenu* mExtras = menuBar()->addMenu(QStringLiteral("&Extras"));
    mExtras->setObjectName(QStringLiteral("mExtras"));
    QAction* options = addItem(mExtras, QStringLiteral("meExtras"), 1, QStringLiteral("&Optionen..."));
    // The switches of the features beyond the classic program; numbered after its items.
    QAction* extraOptions
        = addItem(mExtras, QStringLiteral("meExtras"), 4, QStringLiteral("&Weitere Optionen..."));
    addItem(mExtras, QStringLiteral("meExtras"), 2, QStringLiteral("-"));
    QAction* debugger = addItem(mExtras, QStringLiteral("meExtras"), 3, QStringLiteral("&Debugger..."));
    connect(options, &QAction::triggered, this, [this] { emit optionsRequested(true); });
    connect(extraOptions, &QAction::triggered, this, &MainWindow::extraOptionsRequested);
    connect(debugger, &QAction::triggered, this, &MainWindow::debuggerRequested);

    QMenu* mHilfe = menuBar()->addMenu(QStringLiteral("&?"));
    mHilfe->setObjectName(QStringLiteral("mHilfe"));
    QAction* help = addItem(mHilfe, QStringLiteral("meHilfe"), 1, QStringLiteral("&Hilfe"));
    help->setShortcut(Qt::Key_F1);
    addItem(mHilfe, QStringLiteral("meHilfe"), 2, QStringLiteral("-"));
    QAction* info = addItem(mHilfe, QStringLiteral("meHilfe"), 3, QStringLiteral("&Info"));
    connect(help, &QAction::triggered, this, &MainWindow::showHelp);
    connect(info, &QAction::triggered, this, &MainWindow::showAbout);
}

// ---- start-up and shutdown

void MainWindow::load(const std::vector<std::string>& arguments)
{
    if (m_loaded)
        return;
    m_loaded = true;
    removeStaleAutostartValue(); // 1
    m_debugMode = config::isDebugCommandLine(arguments); // 2
    seedConfigFile(); // 3, 4 (the path itself was decided before)
    // 5: the ignore list starts empty; it is owned by the composition root.
    setWindowTitle(QStringLiteral("[Kalmotex]")); // 6
    if (m_built) // 7, 8; else once built
        applyStartLayout();
    if (!m_debugMode) // 9
        m_hiddenAtStart = installTrayIconAndHide();
    if (m_hiddenAtStart) // 10
        m_entryListPending = true;
    else
        loadEntryList();
    m_services.ignoredTitles.loadIgnoredTitles(); // 11
    applyBorderStripOptions(); // 12
    placeBorderStrip(); // 13
    if (m_built) // 14; else when shown
        refreshCommandState();
    if (!m_hiddenAtStart)
        show();
    if (m_debugMode) // 15
        showWindowListMonitor();
}

void MainWindow::unload()
{
    if (m_unloaded || !m_loaded)
        return;
    m_unloaded = true;
    closeOtherWindows(); // 1
    if (!m_debugMode) // 2
        removeTrayIcon();
}

void MainWindow::exitProgram()
{
    hide();
    unload();
    QApplication::quit();
}

void MainWindow::removeStaleAutostartValue()
{
    if (m_options)
        m_options->removeStaleAutostartEntry();
}

bool MainWindow::installTrayIconAndHide()
{
    // Without a notification area the window stays visible, so the program stays reachable.
    if (!m_tray || !m_tray->addIcon(windowIcon()))
        return false;
    hide();
    return true;
}

void MainWindow::applyBorderStripOptions()
{
    if (m_options)
        m_options->loadOptions();
}

void MainWindow::placeBorderStrip()
{
    if (m_options)
        m_options->placeBorderStrip();
}

void MainWindow::showWindowListMonitor() { emit windowListMonitorRequested(); }

void MainWindow::closeOtherWindows()
{
    if (m_about)
        m_about->close();
    // In this order: the window debugger, the options dialog and the border strip, then the
    // window-list monitor.
    emit closeDebuggerRequested();
    if (m_options)
        m_options->closeWindows();
    emit closeWindowListMonitorRequested();
}

void MainWindow::removeTrayIcon()
{
    if (m_tray)
        m_tray->deleteIcon();
}

void MainWindow::seedConfigFile()
{
    namespace fs = std::filesystem;
    const fs::path config(m_paths.configFilePath);
    const fs::path sample(m_paths.sampleIniPath);
    std::error_code error;
    if (fs::exists(config, error) || !fs::is_regular_file(sample, error))
        return;
    if (fs::copy_file(sample, config, fs::copy_options::none, error))
        return;
    // Never leave half a copy behind: the next start would take it for a configuration.
    std::error_code ignored;
    fs::remove(config, ignored);
    m_services.prompts.message("Die Datei 'sample.ini' konnte nicht nach '" + m_paths.configFilePath
            + "' kopiert werden.",
        platform::PromptIcon::Information,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Colleagues may have changed the team file while the window was hidden.
    refreshTeam();
    if (std::exchange(m_entryListPending, false) || m_showsTeam) {
        loadEntryList();
        refreshCommandState();
    }
}

void MainWindow::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    // Hiding (close box, F11, "&OK") moves no focus inside the window, yet for the user it
    // is leaving the text: store it, or a later "Beenden" would lose it.
    if (!m_unloaded && m_built && (focusWidget() == m_editor || focusWidget() == m_cryptCheckBox))
        writeCurrentText();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // The close box only hides: the program lives on in the notification area.
    event->ignore();
    hide();
}

// ---- layout

void MainWindow::layoutControls(QWidget* client)
{
    const int gap = twips(60);
    const int inset = twips(120);

    auto* buttonRow = new QHBoxLayout(m_container1);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(twips(45));
    for (int index : { NewButton, RenameButton, DeleteButton })
        buttonRow->addWidget(m_buttons[index]);
    buttonRow->addStretch(1);

    auto* listColumn = new QVBoxLayout(m_listFrame);
    listColumn->setContentsMargins(inset, gap, inset, gap);
    listColumn->setSpacing(inset);
    listColumn->addWidget(m_libraryTabs);
    listColumn->addWidget(m_entryList, 1);
    listColumn->addWidget(m_container1);

    // The sending options in a grid whose columns follow the design positions: the
    // label, the target options, the check boxes above and the title box at the right.
    auto* options = new QGridLayout(m_container2);
    options->setContentsMargins(0, 0, 0, 0);
    options->setHorizontalSpacing(twips(105));
    options->setVerticalSpacing(twips(45));
    options->addWidget(m_keyRecordModeCheckBox, 0, 0, 1, 2);
    options->addWidget(m_cryptCheckBox, 0, 2);
    options->addWidget(m_dosBoxCheckBox, 0, 3, Qt::AlignRight);
    options->addWidget(m_label1, 1, 0);
    options->addWidget(m_destinationType[0], 1, 1, 1, 2);
    options->addWidget(m_destinationType[1], 2, 1, 1, 2);
    options->addWidget(m_destinationTextList, 2, 3);
    options->addWidget(m_hotkeyLabel, 3, 0);
    options->addWidget(m_hotkeyEdit, 3, 1, 1, 3);
    options->setColumnMinimumWidth(0, twips(1200 - 105));
    options->setColumnStretch(3, 1);
    m_container2->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* textColumn = new QVBoxLayout(m_textFrame);
    textColumn->setContentsMargins(inset, gap, inset, gap);
    textColumn->setSpacing(twips(105));
    textColumn->addWidget(m_editor, 1);
    textColumn->addWidget(m_container2, 0, Qt::AlignLeft);

    auto* commandColumn = new QVBoxLayout(m_commandFrame);
    commandColumn->setContentsMargins(inset, gap, inset, gap);
    commandColumn->setSpacing(twips(105));
    for (int index : { OkButton, HelpButton, AboutButton, DebugButton, OptionsButton })
        commandColumn->addWidget(m_buttons[index]);
    commandColumn->addStretch(1);

    auto* panes = new QHBoxLayout(client);
    panes->setContentsMargins(gap, inset, gap, gap);
    panes->setSpacing(twips(105));
    panes->addWidget(m_listFrame);
    panes->addWidget(m_textFrame, 1);
    panes->addWidget(m_commandFrame);
    fitToCaptions();
}

void MainWindow::fitToCaptions()
{
    // All command buttons share one size: the design size, or what the widest caption
    // and the picture need.
    QSize buttonSize(twips(795), twips(915));
    for (CaptionButton* button : m_buttons)
        if (button)
            buttonSize = buttonSize.expandedTo(button->minimumSizeHint());
    for (CaptionButton* button : m_buttons)
        if (button)
            button->setFixedSize(buttonSize);
    // Only the middle pane grows in width; all three take the extra height.
    m_listFrame->setMinimumWidth(0);
    m_commandFrame->setMinimumWidth(0);
    m_listFrame->setFixedWidth(std::max(twips(2715), m_listFrame->minimumSizeHint().width()));
    m_commandFrame->setFixedWidth(std::max(twips(1035), m_commandFrame->minimumSizeHint().width()));
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::FontChange || !m_listFrame)
        return;
    // The controls hear of the new font after the window: measure them once they have.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // A larger desktop font: the fixed sizes grow with it, and so does the window.
            fitToCaptions();
            const QSize needed = minimumSizeHint();
            if (m_loaded)
                setMinimumSize(minimumSize().expandedTo(needed));
            resize(size().expandedTo(needed));
        },
        Qt::QueuedConnection);
}

void MainWindow::applyStartLayout()
{
    for (QWidget* container : { m_container1, m_container2 }) {
        container->setAutoFillBackground(true);
        container->setBackgroundRole(QPalette::Window);
    }
    // The window never gets smaller than it opened.
    setMinimumSize(size());
    // Each start opens at the centre of the screen at design size.
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// ---- help and about

void MainWindow::showHelp()
{
    help::showHelpPage(m_paths.helpFolder, m_services.prompts, m_services.documentOpener);
}

void MainWindow::showAbout()
{
    if (!m_about)
        m_about = new AboutDialog(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

} // namespace kx::ui
