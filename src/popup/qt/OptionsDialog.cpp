#include "popup/qt/OptionsDialog.h"

#include "popup/AutostartSwitch.h"
#include "popup/BorderColour.h"
#include "popup/qt/DesignLayout.h"
#include "popup/qt/EdgeButton.h"
#include "popup/qt/MonitorPicture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace kx::popup {

namespace {

// The client area of the design, in twips.
constexpr QSize kDesignClient(8400, 5340);

} // namespace

OptionsDialog::OptionsDialog(Services services, QWidget* parent)
    // Fixed in size, so no maximise button.
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_services(std::move(services))
    , m_layout(std::make_unique<DesignLayout>(this, kDesignClient))
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("[Kalmotex] - Optionen"));
    buildControls();
    layOut();
}

OptionsDialog::~OptionsDialog() = default;

QSizeF OptionsDialog::designStretch() const { return m_layout->stretch(); }

void OptionsDialog::buildControls()
{
    auto* autostartFrame = new QGroupBox(QStringLiteral("Autostart"), this);
    autostartFrame->setObjectName(QStringLiteral("Frame1_0"));
    m_autostartBox
        = new QCheckBox(QStringLiteral("&Programm direkt beim Systemstart aufrufen"), autostartFrame);
    m_autostartBox->setObjectName(QStringLiteral("AutoStartChk"));
    // Only the user's click switches the autostart entry; setting the box from the store
    // does not write it back. A switch the store refused is only logged: the box keeps the
    // state the user chose, as it does with the registry value on Windows.
    connect(m_autostartBox, &QCheckBox::clicked, this, [this](bool checked) {
        if (const text::Result switched = m_services.autostart.apply(checked); !switched)
            qWarning("Autostart: %s", switched.error().c_str());
    });

    auto* menuFrame = new QGroupBox(QStringLiteral("Auswahlmenü"), this);
    menuFrame->setObjectName(QStringLiteral("Frame1_1"));
    m_sortBox = new QCheckBox(QStringLiteral("&Namen der Textbausteine sortiert darstellen"), menuFrame);
    m_sortBox->setObjectName(QStringLiteral("SortChk"));

    auto* activation = new QGroupBox(QStringLiteral("Aktivierung des PopUp-Menüs"), this);
    activation->setObjectName(QStringLiteral("Frame1_2"));
    // Each container makes its option buttons a group of their own; they have no border.
    auto* stripLayer = new QWidget(activation);
    stripLayer->setObjectName(QStringLiteral("OptLayer"));
    auto* clickLayer = new QWidget(activation);
    clickLayer->setObjectName(QStringLiteral("OptLayer2"));
    m_stripShown[0]
        = new QRadioButton(QStringLiteral("nur per Klick auf &Icon in der Taskleiste"), stripLayer);
    m_stripShown[1] = new QRadioButton(QStringLiteral("Icon &und"), stripLayer);
    m_clickMode[0] = new QRadioButton(QStringLiteral("&Maus über Desktop-Rand"), clickLayer);
    m_clickMode[1] = new QRadioButton(QStringLiteral("&Klick auf Bildschirmrand"), clickLayer);
    m_stripShownGroup = new QButtonGroup(this);
    m_clickModeGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        m_stripShown[i]->setObjectName(QStringLiteral("PumActOpt_%1").arg(i));
        m_clickMode[i]->setObjectName(QStringLiteral("PumActBorderByClickOpt_%1").arg(i));
        m_stripShownGroup->addButton(m_stripShown[i], i);
        m_clickModeGroup->addButton(m_clickMode[i], i);
    }
    // A click (by mouse, access key or arrow key) changes the option at once.
    connect(m_stripShownGroup, &QButtonGroup::idClicked, this, &OptionsDialog::setStripShown);
    connect(m_clickModeGroup, &QButtonGroup::idClicked, this, &OptionsDialog::setClickMode);

    auto* positionLabel = new QLabel(QStringLiteral("Position:"), activation);
    positionLabel->setObjectName(QStringLiteral("Label1"));
    m_picture = new MonitorPicture(activation);

    // The edge buttons lie on the picture, a group of their own inside the frame.
    m_edgeGroup = new QButtonGroup(this);
    const QString edgeNames[4] = {
        QStringLiteral("Oberer Bildschirmrand"),
        QStringLiteral("Unterer Bildschirmrand"),
        QStringLiteral("Linker Bildschirmrand"),
        QStringLiteral("Rechter Bildschirmrand"),
    };
    for (int i = 0; i < 4; ++i) {
        m_edges[i] = new EdgeButton(activation);
        m_edges[i]->setObjectName(QStringLiteral("PumActPosOpt_%1").arg(i));
        // No caption on screen; screen readers still say which edge it is.
        m_edges[i]->setAccessibleName(edgeNames[i]);
        m_edgeGroup->addButton(m_edges[i], i);
    }
    connect(m_edgeGroup, &QButtonGroup::idClicked, this, &OptionsDialog::setEdge);
    m_ring = new RingMark(activation);

    m_colourButton = new QPushButton(QStringLiteral("&Farbauswahl"), activation);
    m_colourButton->setObjectName(QStringLiteral("ColBtn"));
    connect(m_colourButton, &QPushButton::clicked, this, &OptionsDialog::chooseColour);
    m_colourSample = new QFrame(activation);
    m_colourSample->setObjectName(QStringLiteral("ColBtnSample"));
    m_colourSample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_colourSample->setAutoFillBackground(true);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("Btn_1"));
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::confirm);

    // Design positions in twips, relative to the container. The room of a captioned
    // control reaches to its neighbour or to its container's edge.
    DesignLayout& d = *m_layout;
    d.placeCaptioned(autostartFrame, QRect(120, 60, 4035, 2175), QSize(4035, 360));
    d.placeCaptioned(m_autostartBox, QRect(180, 360, 3555, 315), QSize(3735, 315));
    d.placeCaptioned(menuFrame, QRect(120, 2340, 4035, 2415), QSize(4035, 360));
    d.placeCaptioned(m_sortBox, QRect(180, 360, 3555, 315), QSize(3735, 315));
    d.placeCaptioned(activation, QRect(4260, 60, 4035, 4695), QSize(4035, 300));
    d.place(stripLayer, QRect(240, 300, 3615, 675));
    d.placeCaptioned(m_stripShown[0], QRect(0, 0, 3495, 195), QSize(3615, 300));
    // "Icon &und" reads on into the two choices beside it.
    d.placeCaptioned(m_stripShown[1], QRect(0, 300, 1695, 195), QSize(1020, 300));
    d.place(clickLayer, QRect(1260, 600, 2595, 795));
    d.placeCaptioned(m_clickMode[0], QRect(0, 0, 2415, 195), QSize(2595, 300));
    d.placeCaptioned(m_clickMode[1], QRect(0, 300, 2055, 195), QSize(2595, 300));
    d.placeCaptioned(positionLabel, QRect(240, 1260, 600, 195), QSize(3735, 300));
    d.place(m_picture, QRect(600, 1560, 2820, 2610));
    d.place(m_edges[0], QRect(840, 1680, 2355, 135));
    d.place(m_edges[1], QRect(840, 3540, 2355, 135));
    d.place(m_edges[2], QRect(720, 1800, 135, 1755));
    d.place(m_edges[3], QRect(3180, 1800, 135, 1755));
    d.place(m_ring, QRect(2820, 3180, 495, 555));
    d.placeCaptioned(m_colourButton, QRect(660, 4260, 2295, 315), QSize(2340, 315));
    d.place(m_colourSample, QRect(3000, 4260, 375, 315));
    d.placeCaptioned(ok, QRect(3240, 4860, 1995, 375), QSize(1995, 375));

    // The option buttons' containers lie over each other; the second must be on top.
    clickLayer->raise();
}

void OptionsDialog::layOut() { m_layout->apply(); }

void OptionsDialog::setUp()
{
    m_setUpDue = false;
    setWindowTitle(QStringLiteral("[Kalmotex] - Optionen"));
    // The menu treats any value but 0 as sorted, and so does the box.
    m_sortBox->setChecked(store::loadSortNamesOption(m_services.config));
    // setChecked is no click: the store is not written back.
    m_autostartBox->setChecked(m_services.autostart.initialState());

    const store::BorderStripOptions& options = m_services.options;
    m_clickMode[options.borderByClick != 0 ? 1 : 0]->setChecked(true);
    setClickMode(options.borderByClick);
    m_stripShown[options.viaBorder != 0 ? 1 : 0]->setChecked(true);
    setStripShown(options.viaBorder);
    if (options.pos >= 0 && options.pos < 4)
        m_edges[options.pos]->setChecked(true);
    setEdge(options.pos);
}

void OptionsDialog::setClickMode(int byClick) { m_services.options.borderByClick = byClick; }

void OptionsDialog::setStripShown(int shown)
{
    m_services.options.viaBorder = shown;
    showStripControls(shown != 0);
}

void OptionsDialog::setEdge(int edge)
{
    m_services.options.pos = edge;
    m_picture->setChosenEdge(m_services.options.viaBorder != 0 ? edge : -1);
}

void OptionsDialog::showStripControls(bool show)
{
    for (EdgeButton* edge : m_edges)
        edge->setVisible(show);
    m_colourButton->setVisible(show);
    m_colourSample->setVisible(show);
    m_ring->setVisible(!show);
    for (QRadioButton* mode : m_clickMode)
        mode->setEnabled(show);
    // The picture points at the edge only while the strip is on.
    m_picture->setChosenEdge(show ? m_services.options.pos : -1);
}

void OptionsDialog::showColour(const QColor& colour)
{
    for (EdgeButton* edge : m_edges)
        edge->setColour(colour);
    QPalette palette = m_colourSample->palette();
    palette.setColor(QPalette::Window, colour);
    m_colourSample->setPalette(palette);
}

void OptionsDialog::chooseColour()
{
    const std::optional<QColor> chosen = m_services.chooseColour(m_lastChosenColour);
    if (!chosen || !chosen->isValid())
        return;
    m_lastChosenColour = *chosen;
    // Shown at once on the strip and here; written only by "&OK".
    m_services.applyColour(encodeRgb(static_cast<std::uint8_t>(chosen->red()),
        static_cast<std::uint8_t>(chosen->green()),
        static_cast<std::uint8_t>(chosen->blue())));
}

void OptionsDialog::confirm()
{
    // The options take effect for this run even when they cannot be stored; the user hears
    // of a configuration that cannot be written when the entries are changed.
    static_cast<void>(store::saveBorderStripOptions(m_services.config, m_services.options));
    m_services.placeStrip();
    static_cast<void>(store::saveSortNamesOption(m_services.config, m_sortBox->isChecked()));
    // Hidden, not closed: the next opening shows the dialog as it is.
    hide();
}

void OptionsDialog::open(bool modal)
{
    if (m_setUpDue)
        setUp();
    const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
    // A window's modality takes effect when it is shown.
    if (isVisible() && windowModality() != modality)
        hide();
    setWindowModality(modality);
    show();
    raise();
    activateWindow();
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    // Closed without "&OK": nothing is saved, and the next opening sets the dialog up anew.
    m_setUpDue = true;
    QDialog::closeEvent(event);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event)
{
    // The dialog has no cancel button: Escape does not close it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OptionsDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::FontChange && event->type() != QEvent::StyleChange)
        return;
    // The controls hear of the new font after the dialog: measure them once they have.
    QMetaObject::invokeMethod(
        this,
        [this] { layOut(); },
        Qt::QueuedConnection);
}

} // namespace kx::popup
