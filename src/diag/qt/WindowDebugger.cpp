#include "diag/qt/WindowDebugger.h"

#include "diag/DebuggerCommands.h"
#include "diag/qt/CopyLine.h"
#include "diag/qt/Twips.h"
#include "transmit/Clock.h"
#include "transmit/SendLog.h"
#include "transmit/WindowDebugLog.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

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
    // cutting the tip or the captions. The send log sits to the right of the designed
    // controls, so that the window stays as low as designed and fits a 1366x768 screen, and
    // a 1920x1080 one at twice the scale.
    const QRect margin = twipsRect(this, 120, 120, 4215, 3375);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(margin.left(), margin.top(), margin.left(), margin.top());
    layout->setSpacing(margin.left());
    auto* designedColumn = new QVBoxLayout;
    designedColumn->setSpacing(twipsRect(this, 0, 0, 0, 45).height());
    m_list->setMinimumSize(margin.size());
    tip->setMinimumHeight(twipsRect(this, 0, 0, 0, 435).height());
    designedColumn->addWidget(m_list, 1);
    designedColumn->addWidget(tip);
    for (QPushButton* button : buttons) {
        button->setMinimumHeight(twipsRect(this, 0, 0, 0, 375).height());
        designedColumn->addWidget(button);
    }
    layout->addLayout(designedColumn, 0);

    auto* sendLogCaption = new QLabel("&Letzte Übertragungen (neueste zuerst):", this);
    m_sendLog = new QTreeWidget(this);
    m_sendLog->setObjectName("SendLogList");
    m_sendLog->setRootIsDecorated(false);
    m_sendLog->setHeaderLabels({ "Zeit", "Eintrag", "Zielfenster", "Zeichen", "Ergebnis" });
    // Time, characters and outcome are short and always shown whole; the entry's and the
    // window's names share the rest and are elided when long.
    QHeaderView* header = m_sendLog->header();
    header->setStretchLastSection(false);
    for (const int column : { 0, 3, 4 })
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    const QFontMetrics metrics(m_sendLog->font());
    const int cellPadding = 2 * metrics.averageCharWidth();
    header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("Beispieleintrag")) + cellPadding);
    int widestOutcome = 0;
    for (const transmit::SendOutcome outcome : { transmit::SendOutcome::Complete,
             transmit::SendOutcome::FocusLost,
             transmit::SendOutcome::NoTarget,
             transmit::SendOutcome::Busy,
             transmit::SendOutcome::SelectionCancelled,
             transmit::SendOutcome::InputCancelled,
             transmit::SendOutcome::TypingFailed })
        widestOutcome = std::max(widestOutcome,
            metrics.horizontalAdvance(QString::fromStdString(transmit::outcomeText(outcome))));
    const int fixedColumns = metrics.horizontalAdvance(QStringLiteral("00:00:00"))
        + metrics.horizontalAdvance(QStringLiteral("9999 von 9999")) + widestOutcome + 3 * cellPadding;
    const int namedColumns
        = header->sectionSize(1) + metrics.horizontalAdvance(QStringLiteral("Zielfenster")) + 2 * cellPadding;
    m_sendLog->setMinimumWidth(fixedColumns + namedColumns + 2 * m_sendLog->frameWidth()
        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_sendLog));
    sendLogCaption->setBuddy(m_sendLog);
    auto* sendLogColumn = new QVBoxLayout;
    sendLogColumn->addWidget(sendLogCaption);
    sendLogColumn->addWidget(m_sendLog, 1);
    m_activation = new QLabel(this);
    m_activation->setObjectName("ActivationLine");
    m_activation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sendLogColumn->addWidget(m_activation);
    layout->addLayout(sendLogColumn, 1);
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
