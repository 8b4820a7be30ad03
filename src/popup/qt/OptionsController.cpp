#include "popup/qt/OptionsController.h"

#include "popup/BorderColour.h"
#include "popup/qt/BorderStrip.h"
#include "popup/qt/OptionsDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QPalette>

namespace kx::popup {

namespace {

// The system colours by their index, as far as the palette has a counterpart.
QColor systemColour(int index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 1: // desktop
    case 2: // active caption
    case 13: // highlight
    case 27: // active caption gradient
        return palette.color(QPalette::Highlight);
    case 5: // window
        return palette.color(QPalette::Base);
    case 6: // window frame
    case 16: // button shadow
        return palette.color(QPalette::Mid);
    case 7: // menu text
    case 8: // window text
    case 9: // caption text
    case 18: // button text
        return palette.color(QPalette::WindowText);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 17: // grey text
        return palette.color(QPalette::PlaceholderText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 21: // dark shadow
        return palette.color(QPalette::Shadow);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default: // 15, the face of buttons, and the colours of menus and bars
        return palette.color(QPalette::Button);
    }
}

} // namespace

QColor toQColor(std::int32_t value)
{
    const std::optional<BorderColour> colour = decodeBorderColour(value);
    if (!colour)
        return systemColour(15);
    if (colour->kind == BorderColour::Kind::System)
        return systemColour(colour->systemIndex);
    return QColor(colour->red, colour->green, colour->blue);
}

OptionsController::OptionsController(Borrowed borrowed)
    : m_config(borrowed.config)
    , m_autostart(borrowed.autostartStore, borrowed.prompts, std::move(borrowed.executablePath))
    , m_strip(std::make_unique<BorderStrip>(
          m_options, std::move(borrowed.openMenu), std::move(borrowed.prepareStrip), borrowed.nativeStrip))
    , m_stripPossible(borrowed.stripPossible)
    , m_dialogParent(borrowed.dialogParent)
    , m_chooseColour(std::move(borrowed.chooseColour))
{
    if (!m_chooseColour)
        m_chooseColour = [parent = m_dialogParent](const QColor& initial) -> std::optional<QColor> {
            const QColor chosen = QColorDialog::getColor(initial, parent);
            return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
        };
}

OptionsDialog& OptionsController::dialog()
{
    // Built on first use: most starts never open it.
    if (!m_dialog) {
        m_dialog = std::make_unique<OptionsDialog>(OptionsDialog::Services { m_config,
                                                       m_autostart,
                                                       m_options,
                                                       [this] { placeBorderStrip(); },
                                                       [this](std::int32_t value) { setBorderColour(value); },
                                                       m_chooseColour },
            m_dialogParent);
        m_dialog->setUp();
        m_dialog->showColour(toQColor(m_options.borderColour));
    }
    return *m_dialog;
}

OptionsController::~OptionsController() = default;

void OptionsController::removeStaleAutostartEntry()
{
    if (const text::Result removed = m_autostart.removeStaleEntry(); !removed)
        qWarning("Autostart: %s", removed.error().c_str());
}

void OptionsController::loadOptions()
{
    m_options = store::loadBorderStripOptions(m_config);
    // A stored value that is no colour reads as the default, the face of buttons.
    if (!decodeBorderColour(m_options.borderColour))
        m_options.borderColour = store::kDefaultBorderColour;
    if (m_dialog)
        m_dialog->setUp();
    setBorderColour(m_options.borderColour);
}

void OptionsController::placeBorderStrip()
{
    if (m_stripPossible)
        m_strip->place();
}

void OptionsController::showOptionsDialog(bool modal) { dialog().open(modal); }

void OptionsController::setBorderColour(std::int32_t value)
{
    m_options.borderColour = value;
    const QColor colour = toQColor(value);
    m_strip->setColour(colour);
    if (m_dialog)
        m_dialog->showColour(colour);
}

void OptionsController::closeWindows()
{
    if (m_dialog)
        m_dialog->hide();
    m_strip->retire();
}

} // namespace kx::popup
