#include "transmit/qt/TargetSelectionDialog.h"

#include "text/Text.h"
#include "transmit/qt/FilterKeys.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
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
    // Above every window while the user chooses; fixed in size, so no maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName("lbZielFenster");
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listGeometry = twips(this, 120, 120, 5415, 2010);
    m_list->setGeometry(m_listGeometry);
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { acceptSelection(); });

    auto* label = new QLabel("Es wurden mehrere Fenster gefunden, die als Ziel in Frage kommen. "
                             "Bitte wählen Sie aus der obigen Liste das entsprechende aus.",
        this);
    label->setObjectName("Label1");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(twips(this, 240, 2280, 3795, 855));

    m_filterLine = new QLabel(this);
    m_filterLine->setObjectName("lblFilter");
    m_filterLine->setTextFormat(Qt::PlainText);
    m_filterLine->hide();

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
    m_noMatches = nullptr;
    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return text::compareForSortedList(candidates[a].title, candidates[b].title) < 0;
    });
    m_list->clear();
    std::vector<std::string> titles;
    for (std::size_t i : order) {
        auto* item = new QListWidgetItem(QString::fromStdString(candidates[i].title), m_list);
        item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(candidates[i].window));
        titles.push_back(candidates[i].title);
    }
    m_filter.setNames(titles);
    m_filterText.clear();
    m_filterLine->hide();
    m_list->setGeometry(m_listGeometry);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    setWindowTitle("Auswahl - [Kalmotex]");
}

void TargetSelectionDialog::setFilterText(const QString& text)
{
    m_filterText = text;
    delete m_noMatches;
    m_noMatches = nullptr;
    const int titles = static_cast<int>(m_filter.size());
    const std::vector<std::size_t> matches = m_filter.matches(text.toStdString());
    auto match = matches.begin();
    for (int row = 0; row < titles; ++row) {
        const bool shown = match != matches.end() && *match == static_cast<std::size_t>(row);
        if (shown)
            ++match;
        m_list->item(row)->setHidden(!shown);
    }
    if (matches.empty() && titles > 0) {
        m_noMatches = new QListWidgetItem(QStringLiteral("(keine Treffer)"), m_list);
        m_noMatches->setFlags(Qt::NoItemFlags);
        m_list->setCurrentItem(nullptr);
        m_list->clearSelection();
    } else if (!matches.empty()) {
        m_list->setCurrentRow(static_cast<int>(matches.front()));
    }

    // The filter line takes the bottom of the list's place while there is a filter.
    QRect listRect = m_listGeometry;
    if (!text.isEmpty()) {
        const int lineHeight = m_filterLine->fontMetrics().height() + 4;
        listRect.setHeight(listRect.height() - lineHeight);
        m_filterLine->setGeometry(listRect.left(), listRect.bottom() + 1, listRect.width(), lineHeight);
        m_filterLine->setText(QStringLiteral("Filter: ") + text);
    }
    m_list->setGeometry(listRect);
    m_filterLine->setVisible(!text.isEmpty());
}

bool TargetSelectionDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && m_typeToFilter && event->type() == QEvent::KeyPress) {
        // The first Escape takes back the filter, the next one cancels the dialog.
        if (const auto text = filterTextAfterKey(m_filterText, *static_cast<QKeyEvent*>(event))) {
            if (*text != m_filterText)
                setFilterText(*text);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TargetSelectionDialog::acceptSelection()
{
    if (m_noMatches)
        return;
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
    form.setTypeToFilter(m_typeToFilter && m_typeToFilter());
    form.setCandidates(candidates);
    form.exec();
    return form.result() == QDialog::Accepted ? form.chosenWindow() : std::nullopt;
}

} // namespace kx::transmit
