#include "transmit/qt/TargetSelectionDialog.h"

#include "text/Text.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <numeric>

namespace kx::transmit {

namespace {

// Layout values are in twips (1/1440 inch), converted with the screen's logical DPI.
QRect twips(const QWidget* widget, int left, int top, int width, int height)
{
    const double x = widget->logicalDpiX() / 1440.0;
    const double y = widget->logicalDpiY() / 1440.0;
    return { qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y) };
}

} // namespace

TargetSelectionDialog::TargetSelectionDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AuswahlForm");
    setWindowTitle("Auswahl");
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Form_Load makes the dialog topmost; it is destroyed when closed, which ends that.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName("lbZielFenster");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setGeometry(twips(this, 120, 120, 5415, 2010));
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { acceptSelection(); });

    auto* label = new QLabel("Es wurden mehrere Fenster gefunden, die als Ziel in Frage kommen. "
                             "Bitte wählen Sie aus der obigen Liste das entsprechende aus.",
        this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twips(this, 240, 2280, 3795, 855));

    auto* cancel = new QPushButton("&Abbruch", this);
    cancel->setObjectName("Btn_0");
    cancel->setGeometry(twips(this, 4320, 2280, 1215, 435));
    connect(cancel, &QPushButton::clicked, this, [this] { onButtonClicked(0); });

    auto* ok = new QPushButton("&OK", this);
    ok->setObjectName("Btn_1");
    QFont bold = ok->font();
    bold.setBold(true);
    ok->setFont(bold);
    ok->setGeometry(twips(this, 4320, 2760, 1215, 435));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { onButtonClicked(1); });

    auto* bar = new QFrame(this);
    bar->setObjectName("Shape1");
    bar->setFrameShape(QFrame::NoFrame);
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, barPalette.color(QPalette::Highlight));
    bar->setPalette(barPalette);
    bar->setGeometry(twips(this, 120, 2280, 75, 615));

    setFixedSize(twips(this, 0, 0, 5655, 3300).size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TargetSelectionDialog::setCandidates(const std::vector<WindowCandidate>& candidates)
{
    m_chosen.reset();
    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return text::compareForSortedList(candidates[a].title, candidates[b].title) < 0;
    });
    m_list->clear();
    for (std::size_t i : order) {
        auto* item = new QListWidgetItem(QString::fromStdString(candidates[i].title), m_list);
        item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(candidates[i].window));
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    setWindowTitle("Auswahl - [Kalmotex]");
}

void TargetSelectionDialog::acceptSelection()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (item)
        m_chosen = static_cast<platform::WindowHandle>(item->data(Qt::UserRole).toULongLong());
    accept();
}

void TargetSelectionDialog::onButtonClicked(int index)
{
    if (index == 1)
        acceptSelection();
    else
        reject();
}

std::optional<platform::WindowHandle> DialogWindowChooser::choose(
    const std::vector<WindowCandidate>& candidates)
{
    TargetSelectionDialog form(m_parent);
    form.setCandidates(candidates);
    form.exec();
    return form.result() == QDialog::Accepted ? form.chosenWindow() : std::nullopt;
}

} // namespace kx::transmit
