#include "popup/qt/BorderStrip.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace kx::popup {

BorderStrip::BorderStrip(const store::BorderStripOptions& options, std::function<void()> openMenu)
    : QWidget(nullptr,
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_options(options)
    , m_openMenu(std::move(openMenu))
{
    setObjectName(QStringLiteral("BorderStrip"));
    setWindowTitle(QStringLiteral("[Kalmotex]"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    setMouseTracking(true);
}

BorderStrip::~BorderStrip() = default;

void BorderStrip::place()
{
    hide();
    if (m_options.viaBorder == 0)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    QRect strip;
    switch (m_options.pos) {
    case 1:
        strip = QRect(area.left(), area.bottom(), area.width(), 1);
        break;
    case 2:
        strip = QRect(area.left(), area.top(), 1, area.height());
        break;
    case 3:
        strip = QRect(area.right(), area.top(), 1, area.height());
        break;
    default:
        strip = QRect(area.left(), area.top(), area.width(), 1);
        break;
    }
    setGeometry(strip);
    show();
}

void BorderStrip::setColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
}

void BorderStrip::mouseMoveEvent(QMouseEvent*)
{
    if (m_options.borderByClick == 0)
        openMenu();
}

void BorderStrip::enterEvent(QEnterEvent*)
{
    if (m_options.borderByClick == 0)
        openMenu();
}

void BorderStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_options.borderByClick == 1)
        openMenu();
}

void BorderStrip::openMenu()
{
    // The menu is modal: pointer events while it is open open no second one.
    if (m_menuOpen || !m_openMenu)
        return;
    m_menuOpen = true;
    m_openMenu();
    m_menuOpen = false;
}

} // namespace kx::popup
