// Every caption of the main window fits its control: with the default font, a font half as
// large again, and (as a second run of this test) a scale factor of 2.

#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <algorithm>

using kx::test::MainWindowFixture;

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")))
        .replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// What does not fit, one line per control; empty when all do.
QStringList clippedCaptions(const QWidget& window)
{
    QStringList clipped;
    auto check = [&](const QWidget* w, const QString& text, QSize needed, QSize room) {
        // A control cut off by the window's edge is as unreadable as a clipped caption.
        if (!window.rect().contains(QRect(w->mapTo(&window, QPoint(0, 0)), w->size())))
            clipped << QStringLiteral("%1 reaches past the window").arg(w->objectName());
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                           .arg(w->objectName(), text)
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    };
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window))
            continue;
        const QFontMetrics metrics(w->font());
        const QStyle* style = w->style();
        if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            const QString text = withoutMnemonic(box->text());
            const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
            check(w,
                text,
                QSize(indicator + metrics.horizontalAdvance(text), metrics.height()),
                w->contentsRect().size());
        } else if (const auto* option = qobject_cast<const QRadioButton*>(w)) {
            const QString text = withoutMnemonic(option->text());
            const int indicator = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w)
                + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
            check(w,
                text,
                QSize(indicator + metrics.horizontalAdvance(text), metrics.height()),
                w->contentsRect().size());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            // The command buttons wrap their caption at blanks below the picture: each word
            // must fit the width, the lines and the picture the height.
            const QString text = withoutMnemonic(button->text());
            const int room = w->contentsRect().width() - 6;
            int widest = 0;
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                widest = std::max(widest, metrics.horizontalAdvance(word));
            const QRect lines = metrics.boundingRect(QRect(0, 0, room, 10000), Qt::TextWordWrap, text);
            check(w,
                text,
                QSize(widest, button->iconSize().height() + lines.height()),
                w->contentsRect().size() - QSize(6, 10));
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            check(w,
                label->text(),
                QSize(metrics.horizontalAdvance(label->text()), metrics.height()),
                w->contentsRect().size());
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            // The title sits above the contents, inside the frame's width.
            check(w,
                frame->title(),
                QSize(metrics.horizontalAdvance(frame->title()), metrics.height()),
                QSize(w->width(), w->contentsRect().top()));
        }
    }
    return clipped;
}

} // namespace

class CaptionsFitTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsFitTheirControls_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("default font") << 1.0;
        QTest::newRow("font 1.5 times as large") << 1.5;
    }

    void captionsFitTheirControls()
    {
        QFETCH(qreal, fontScale);
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * fontScale);
        QApplication::setFont(font);
        MainWindowFixture f("[Settings]\nCount=1\n[Name]\n1=Adresse\n[Text]\n1=x\n");
        kx::ui::MainWindow& form = f.start();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QStringList atLoad = clippedCaptions(form);
        // Larger than at load changes nothing for the captions either.
        form.resize(form.size() + QSize(200, 150));
        const QStringList larger = clippedCaptions(form);
        QApplication::setFont(original);
        QVERIFY2(atLoad.isEmpty(), qPrintable(atLoad.join(QLatin1Char('\n'))));
        QVERIFY2(larger.isEmpty(), qPrintable(larger.join(QLatin1Char('\n'))));
    }

    void captionsStillFitWhenTheFontGrowsWhileTheWindowIsOpen()
    {
        MainWindowFixture f("[Settings]\nCount=1\n[Name]\n1=Adresse\n[Text]\n1=x\n");
        kx::ui::MainWindow& form = f.start();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QSize before = form.size();
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * 1.5);
        QApplication::setFont(font);
        // The window and its layouts follow once the posted events are handled.
        QTRY_VERIFY(form.width() > before.width());
        QTRY_VERIFY2(clippedCaptions(form).isEmpty(),
            qPrintable(clippedCaptions(form).join(QLatin1Char('\n'))));
        // The window grew to hold the larger panes, instead of cutting them off.
        const QSize after = form.size();
        const QSize needed = form.minimumSizeHint();
        QApplication::setFont(original);
        QVERIFY2(after.width() > before.width() && after.width() >= needed.width()
                && after.height() >= needed.height(),
            qPrintable(QStringLiteral("%1x%2 -> %3x%4, needs %5x%6")
                           .arg(before.width())
                           .arg(before.height())
                           .arg(after.width())
                           .arg(after.height())
                           .arg(needed.width())
                           .arg(needed.height())));
    }
};

QTEST_MAIN(CaptionsFitTest)
#include "CaptionsFitTest.moc"
