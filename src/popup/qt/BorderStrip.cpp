#include "popup/qt/BorderStrip.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

namespace kx::popup {

BorderStrip::BorderStrip(const store::BorderStripOptions& options,
    std::function<void()> openMenu,
    std::function<void(WId)> beforeShow,
    platform::EdgeStrip* native)
    : QWidget(nullptr,
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_options(options)
    , m_openMenu(std::move(openMenu))
    , m_beforeShow(std::move(beforeShow))
    , m_native(native)
{
    setObjectName(QStringLiteral("BorderStrip"));
    setWindowTitle(QStringLiteral("[Kalmotex]"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    setMouseTracking(true);
    if (m_native)
        // Later, from Qt's event loop: the menu runs one of its own, which must not start
        // inside the backend's dispatch of the pointer event.
        m_native->setTouchHandler([this](bool clicked) {
            QMetaObject::invokeMethod(
                this,
                [this, clicked] { nativeTouched(clicked); },
                Qt::QueuedConnection);
        });
}

BorderStrip::~BorderStrip()
{
    if (m_native) {
        m_native->setTouchHandler({});
        m_native->place(std::nullopt, 0);
    }
}

void BorderStrip::place()
{
    m_edge = m_options.viaBorder == 0 ? std::nullopt : std::optional<int>(m_options.pos);
    applyPlacement();
}

void BorderStrip::retire()
{
    m_edge.reset();
    hide();
    if (m_native)
        m_native->place(std::nullopt, 0);
}

void BorderStrip::applyPlacement()
{
    if (m_native) {
        const std::optional<platform::EdgeStrip::Edge> edge = m_edge
            ? std::optional(static_cast<platform::EdgeStrip::Edge>(std::clamp(*m_edge, 0, 3)))
            : std::nullopt;
        m_native->place(edge, palette().color(QPalette::Window).rgb() & 0xffffffu);
        return;
    }
    hide();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!m_edge || !screen)
        return;
    const QRect area = screen->geometry();
    QRect strip;
    switch (*m_edge) {
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
    if (m_beforeShow)
        m_beforeShow(winId());
    show();
}

void BorderStrip::setColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    if (m_native && m_edge)
        applyPlacement();
}

void BorderStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (m_options.borderByClick == 0)
        openMenuAt(event->globalPosition().toPoint());
}

void BorderStrip::enterEvent(QEnterEvent* event)
{
    if (m_options.borderByClick == 0)
        openMenuAt(event->globalPosition().toPoint());
}

void BorderStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_options.borderByClick == 1) {
        m_closedAt.reset();
        openMenuAt(event->globalPosition().toPoint());
    }
}

void BorderStrip::nativeTouched(bool clicked)
{
    if (m_menuOpen || !m_openMenu || m_options.borderByClick != (clicked ? 1 : 0))
        return;
    m_menuOpen = true;
    m_openMenu();
    m_menuOpen = false;
}

void BorderStrip::openMenuAt(const QPoint& at)
{
    // The menu is modal: pointer events while it is open open no second one.
    if (m_menuOpen || !m_openMenu || m_closedAt == at)
        return;
    m_menuOpen = true;
    m_openMenu();
    m_menuOpen = false;
    m_closedAt = QCursor::pos();
}

} // namespace kx::popup
