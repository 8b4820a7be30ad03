// Every caption of the options dialog fits its control and no control is cut off by its
// container: with the default font, a font half as large again, and (as a second run of
// this test) a scale factor of 2. The design is stretched only as far as the captions need.

#include "OptionsFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")))
        .replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// The part of `w` the user sees: inside every container up to the window.
QRect visibleRect(const QWidget* w, const QWidget& window)
{
    QRect visible(w->mapTo(&window, QPoint(0, 0)), w->size());
    for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
        visible &= QRect(p->mapTo(&window, QPoint(0, 0)), p->size());
    return visible & window.rect();
}

// What does not fit, one line per control; empty when all do.
QStringList clippedCaptions(const QWidget& window)
{
    QStringList clipped;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window))
            continue;
        const QRect whole(w->mapTo(&window, QPoint(0, 0)), w->size());
        const QRect visible = visibleRect(w, window);
        const QFontMetrics metrics(w->font());
        const QStyle* style = w->style();
        QString text;
        QSize needed;
        if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            text = withoutMnemonic(box->text());
            needed = QSize(style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w)
                    + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w)
                    + metrics.horizontalAdvance(text),
                metrics.height());
        } else if (const auto* option = qobject_cast<const QRadioButton*>(w)) {
            text = withoutMnemonic(option->text());
            needed = QSize(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w)
                    + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w)
                    + metrics.horizontalAdvance(text),
                metrics.height());
        } else if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            text = withoutMnemonic(button->text());
            needed = QSize(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            text = label->text();
            needed = QSize(metrics.horizontalAdvance(text), metrics.height());
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            text = frame->title();
            needed = QSize(metrics.horizontalAdvance(text), metrics.height());
            // The title sits above the contents: no control of the frame may reach into it.
            for (const QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (child->isVisibleTo(&window) && child->y() < frame->contentsRect().top())
                    clipped << QStringLiteral("%1 reaches into the title of %2")
                                   .arg(child->objectName(), frame->objectName());
            if (needed.width() > w->width() || needed.height() > frame->contentsRect().top())
                clipped << QStringLiteral("%1 \"%2\" does not fit").arg(w->objectName(), text);
            needed = QSize();
        }
        // Controls without caption, frames included, must not be cut off.
        if (needed.isEmpty()) {
            if (visible != whole)
                clipped << QStringLiteral("%1 is cut off").arg(w->objectName());
            continue;
        }
        if (needed.width() > visible.width() || needed.height() > visible.height())
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, shows %5x%6")
                           .arg(w->objectName(), text)
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(visible.width())
                           .arg(visible.height());
    }
    return clipped;
}

// The caption of "Icon &und" must not run under the container of the choices beside it.
QString iconAndHidden(kx::test::OptionsFixture& f)
{
    const QWidget* option = f.find<QWidget>(QStringLiteral("PumActOpt_1"));
    const QWidget* beside = f.find<QWidget>(QStringLiteral("OptLayer2"));
    const QStyle* style = option->style();
    const int textEnd = option->mapTo(&f.dialog(), QPoint(0, 0)).x()
        + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option)
        + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option)
        + QFontMetrics(option->font()).horizontalAdvance(QStringLiteral("Icon und"));
    const int besideStart = beside->mapTo(&f.dialog(), QPoint(0, 0)).x();
    return textEnd > besideStart
        ? QStringLiteral("\"Icon und\" ends at %1, the choices start at %2").arg(textEnd).arg(besideStart)
        : QString();
}

} // namespace

class OptionsCaptionsFitTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsFitTheirControls_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::addColumn<QString>("ini");
        QTest::newRow("default font, strip off") << 1.0 << "";
        QTest::newRow("default font, strip on") << 1.0 << "[Common]\nPumActViaBorder=1\n";
        QTest::newRow("font 1.5 times as large, strip off") << 1.5 << "";
        QTest::newRow("font 1.5 times as large, strip on") << 1.5 << "[Common]\nPumActViaBorder=1\n";
    }

    void captionsFitTheirControls()
    {
        QFETCH(qreal, fontScale);
        QFETCH(QString, ini);
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * fontScale);
        QApplication::setFont(font);
        kx::test::OptionsFixture f(ini.toStdString());
        f.start().showOptionsDialog(false);
        QVERIFY(QTest::qWaitForWindowExposed(&f.dialog()));
        const QStringList clipped = clippedCaptions(f.dialog());
        const QString hidden = iconAndHidden(f);
        const QSizeF stretch = f.dialog().designStretch();
        QApplication::setFont(original);
        qInfo("font %.1fx, scale %s: design stretched %.3f x %.3f, dialog %dx%d",
            fontScale,
            qgetenv("QT_SCALE_FACTOR").isEmpty() ? "1" : qgetenv("QT_SCALE_FACTOR").constData(),
            stretch.width(),
            stretch.height(),
            f.dialog().width(),
            f.dialog().height());
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden));
    }

    void captionsStillFitWhenTheFontGrowsWhileTheDialogIsOpen()
    {
        kx::test::OptionsFixture f("[Common]\nPumActViaBorder=1\n");
        f.start().showOptionsDialog(false);
        QVERIFY(QTest::qWaitForWindowExposed(&f.dialog()));
        const QSize before = f.dialog().size();
        const QFont original = QApplication::font();
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * 1.5);
        QApplication::setFont(font);
        QTRY_VERIFY(f.dialog().width() > before.width());
        QTRY_VERIFY2(clippedCaptions(f.dialog()).isEmpty(),
            qPrintable(clippedCaptions(f.dialog()).join(QLatin1Char('\n'))));
        QApplication::setFont(original);
    }
};

QTEST_MAIN(OptionsCaptionsFitTest)
#include "OptionsCaptionsFitTest.moc"
