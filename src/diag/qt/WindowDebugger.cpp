#include "diag/qt/WindowDebugger.h"

#include "diag/DebuggerCommands.h"
#include "diag/qt/CopyLine.h"
#include "diag/qt/Twips.h"
#include "transmit/Clock.h"
#include "transmit/SendLog.h"
#include "transmit/WindowDebugLog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kx::diag {

WindowDebugger::WindowDebugger(WindowDebuggerServices services, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , m_services(std::move(services))
{
    setObjectName("WindowDebugger");
    setWindowTitle("[Kalmotex] - Debugger");

    m_list = new QListWidget(this);
    m_list->setObjectName("TitelListe");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    copyMarkedLineOnCtrlC(m_list, m_services.clipboard);

    auto* tip
        = new QLabel("Tipp: Das störende Fenster steht in der Regel immer am Ende dieser Liste ...", this);
    tip->setObjectName("Label1");
    tip->setWordWrap(true);
    QFont bold = tip->font();
    bold.setBold(true);
    tip->setFont(bold);

    const char* captions[] = { "&Markierten Titel in Zukunft ignorieren",
        "&Konfigurationsdatei manuell bearbeiten",
        "&Dieses Fenster schließen" };
    QPushButton* buttons[3] = {};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(captions[i], this);
        buttons[i]->setObjectName(QString("Btn_%1").arg(i));
        buttons[i]->setAutoDefault(false);
    }
    connect(buttons[0], &QPushButton::clicked, this, &WindowDebugger::ignoreMarkedTitle);
    connect(buttons[1], &QPushButton::clicked, this, &WindowDebugger::editConfigFile);
    connect(buttons[2], &QPushButton::clicked, this, &QWidget::close);

    // The designed sizes are the minimum; a larger desktop font grows the window instead of
    // cutting the tip or the captions.
    const QRect margin = twipsRect(this, 120, 120, 4215, 3375);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin.left(), margin.top(), margin.left(), margin.top());
    layout->setSpacing(twipsRect(this, 0, 0, 0, 45).height());
    m_list->setMinimumSize(margin.size());
    tip->setMinimumHeight(twipsRect(this, 0, 0, 0, 435).height());
    layout->addWidget(m_list, 1);
    layout->addWidget(tip);
    for (QPushButton* button : buttons) {
        button->setMinimumHeight(twipsRect(this, 0, 0, 0, 375).height());
        layout->addWidget(button);
    }

    auto* sendLogCaption = new QLabel("&Letzte Übertragungen (neueste zuerst):", this);
    m_sendLog = new QTreeWidget(this);
    m_sendLog->setObjectName("SendLogList");
    m_sendLog->setRootIsDecorated(false);
    m_sendLog->setHeaderLabels({ "Zeit", "Eintrag", "Zielfenster", "Zeichen", "Ergebnis" });
    m_sendLog->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_sendLog->setMinimumHeight(twipsRect(this, 0, 0, 0, 1800).height());
    sendLogCaption->setBuddy(m_sendLog);
    layout->addWidget(sendLogCaption);
    layout->addWidget(m_sendLog, 1);
    m_activation = new QLabel(this);
    m_activation->setObjectName("ActivationLine");
    m_activation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_activation);
    setTabOrder(m_list, buttons[0]);
    setTabOrder(buttons[0], buttons[1]);
    setTabOrder(buttons[1], buttons[2]);
    setTabOrder(buttons[2], m_sendLog);
    const QSize designed = twipsRect(this, 0, 0, 4440, 5535).size();
    resize(designed.expandedTo(layout->sizeHint()));

    m_services.lines.setOnChanged([this] { showLines(); });
    showLines();
    m_services.sendLog.setOnChanged([this] { showSendLog(); });
    showSendLog();
}

WindowDebugger::~WindowDebugger()
{
    m_services.lines.setOnChanged({});
    m_services.sendLog.setOnChanged({});
}

void WindowDebugger::open()
{
    if (!isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void WindowDebugger::closeEvent(QCloseEvent* event)
{
    m_services.lines.clear();
    QWidget::closeEvent(event);
}

void WindowDebugger::showLines()
{
    m_list->clear();
    for (const std::string& line : m_services.lines.lines())
        m_list->addItem(QString::fromStdString(line));
}

void WindowDebugger::showSendLog()
{
    m_sendLog->clear();
    const transmit::SendLog& log = m_services.sendLog;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const transmit::SendRecord& record = log.newest(i);
        auto* row = new QTreeWidgetItem(m_sendLog,
            { QString::fromStdString(transmit::formatLocalTime("%X", record.time)),
                QString::fromStdString(record.entryName),
                QString::fromStdString(record.targetTitle),
                QString::fromStdString(transmit::describeCharacters(record)),
                QString::fromStdString(transmit::outcomeText(record.outcome)) });
        row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    QString activation = "Aktivierung: -";
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (!log.newest(i).activation.empty()) {
            activation = "Aktivierung: " + QString::fromStdString(log.newest(i).activation);
            break;
        }
    }
    m_activation->setText(activation);
}

void WindowDebugger::ignoreMarkedTitle()
{
    const QListWidgetItem* item = m_list->currentItem();
    const int marked = item && item->isSelected() ? m_list->row(item) : -1;
    diag::ignoreMarkedTitle(m_services.lines.lines(), marked, m_services.prompts, m_services.ignoredTitles);
}

void WindowDebugger::editConfigFile()
{
    diag::editConfigFile(m_services.configFilePath, m_services.editor, m_services.prompts);
}

} // namespace kx::diag
