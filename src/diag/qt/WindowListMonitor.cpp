#include "diag/qt/WindowListMonitor.h"

#include "diag/WindowList.h"
#include "diag/qt/CopyLine.h"
#include "diag/qt/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QListWidget>
#include <QPushButton>

namespace kx::diag {

WindowListMonitor::WindowListMonitor(platform::WindowInventory& windows,
    const transmit::Clock& clock,
    std::function<platform::WindowHandle()> mainWindow,
    platform::Clipboard& clipboard,
    QWidget* parent)
    // Fixed in size, so no maximise button.
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_windows(windows)
    , m_clock(clock)
    , m_mainWindow(std::move(mainWindow))
{
    setObjectName("WindowListMonitor");
    setWindowTitle("QZDEBUGFRM");

    m_list = new QListWidget(this);
    m_list->setObjectName("WList");
    // Fixed pitch, so that the columns line up.
    QFont courier("Courier New");
    courier.setPointSizeF(8.25);
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    m_list->setFont(courier);
    m_list->setGeometry(twipsRect(this, 180, 180, 7575, 5520));
    copyMarkedLineOnCtrlC(m_list, clipboard);

    m_visibleOnly = new QCheckBox("visible only", this);
    m_visibleOnly->setObjectName("VisChk");
    m_visibleOnly->setChecked(true);
    m_visibleOnly->setGeometry(twipsRect(this, 1140, 5820, 1755, 375));

    auto* exit = new QPushButton("Exit", this);
    exit->setObjectName("Command1");
    exit->setGeometry(twipsRect(this, 6600, 5880, 1095, 375));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    setFixedSize(twipsRect(this, 0, 0, 7965, 6375).size());

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &WindowListMonitor::fillList);
}

void WindowListMonitor::open()
{
    if (!m_timer.isActive())
        m_timer.start();
    show();
    raise();
    activateWindow();
}

void WindowListMonitor::fillList()
{
    const std::vector<std::string> lines = windowListLines(m_windows,
        m_mainWindow ? m_mainWindow() : 0,
        m_visibleOnly->isChecked(),
        dateTimeLine(m_clock));
    m_list->clear();
    for (const std::string& line : lines)
        m_list->addItem(QString::fromStdString(line));
}

bool WindowListMonitor::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_timer.isActive())
        fillList();
    return QWidget::event(event);
}

void WindowListMonitor::closeEvent(QCloseEvent* event)
{
    // Opened again, it starts as new: empty until the first tick, "visible only" checked.
    m_timer.stop();
    m_list->clear();
    m_visibleOnly->setChecked(true);
    QWidget::closeEvent(event);
}

} // namespace kx::diag
