// Run once at scale 1 and once at scale 2 (CaptionsFitTest_scale2).

#include "mainwindow/MainWindowFixture.h"
#include "options/OptionsFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <functional>

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
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        // A line runs from edge to edge on purpose.
        const auto* frame = qobject_cast<const QFrame*>(w);
        if (!w->isVisibleTo(&window)
            || (frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine)))
            continue;
        // The part the user sees: inside every container up to the window.
        const QRect whole(w->mapTo(&window, QPoint(0, 0)), w->size());
        QRect visible = whole & window.rect();
        for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
            visible &= QRect(p->mapTo(&window, QPoint(0, 0)), p->size());
        const QFontMetrics metrics(w->font());
        const QStyle* style = w->style();
        const auto indicator = [&](QStyle::PixelMetric width, QStyle::PixelMetric spacing) {
            return style->pixelMetric(width, nullptr, w) + style->pixelMetric(spacing, nullptr, w);
        };
        QString text;
        QSize needed;
        QSize room = visible.size().boundedTo(w->contentsRect().size());
        if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            text = withoutMnemonic(box->text());
            needed = QSize(indicator(QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing)
                    + metrics.horizontalAdvance(text),
                metrics.height());
        } else if (const auto* option = qobject_cast<const QRadioButton*>(w)) {
            text = withoutMnemonic(option->text());
            needed = QSize(indicator(QStyle::PM_ExclusiveIndicatorWidth, QStyle::PM_RadioButtonLabelSpacing)
                    + metrics.horizontalAdvance(text),
                metrics.height());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            text = withoutMnemonic(button->text());
            if (text.isEmpty()) {
                // No caption: only that it is not cut off.
            } else if (button->icon().isNull()) {
                needed = QSize(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
            } else {
                // The command buttons wrap their caption at blanks below the picture: each word
                // must fit the width, the lines and the picture the height.
                int widest = 0;
                for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    widest = std::max(widest, metrics.horizontalAdvance(word));
                const QRect lines = metrics.boundingRect(QRect(0, 0, w->contentsRect().width() - 6, 10000),
                    Qt::TextWordWrap,
                    text);
                needed = QSize(widest, button->iconSize().height() + lines.height());
                // Measured against the button itself: after the font grew while the window
                // was open its container may show a few pixels less (left for the layout).
                room = w->contentsRect().size() - QSize(6, 10);
            }
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            text = label->text();
            needed = QSize(metrics.horizontalAdvance(text), metrics.height());
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            // The title sits above the contents: no control of the frame may reach into it.
            for (const QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (child->isVisibleTo(&window) && child->y() < group->contentsRect().top())
                    clipped << QStringLiteral("%1 reaches into the title of %2")
                                   .arg(child->objectName(), group->objectName());
            text = group->title();
            needed = QSize(metrics.horizontalAdvance(text), metrics.height());
            room = QSize(visible.width(), group->contentsRect().top());
        }
        // Whatever is cut off, caption or not, is as unreadable as a clipped caption.
        if (visible != whole
            && (needed.isEmpty() || qobject_cast<const QGroupBox*>(w) || !window.rect().contains(whole)))
            clipped << QStringLiteral("%1 is cut off").arg(w->objectName());
        if (!needed.isEmpty() && (needed.width() > room.width() || needed.height() > room.height()))
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, shows %5x%6")
                           .arg(w->objectName(), text)
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    return clipped;
}

// The caption of "Icon &und" must not run under the container of the choices beside it.
QStringList iconAndHidden(kx::test::OptionsFixture& f)
{
    const QWidget* option = f.find<QWidget>(QStringLiteral("PumActOpt_1"));
    const QWidget* beside = f.find<QWidget>(QStringLiteral("OptLayer2"));
    const QStyle* style = option->style();
    const int textEnd = option->mapTo(&f.dialog(), QPoint(0, 0)).x()
        + style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option)
        + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option)
        + QFontMetrics(option->font()).horizontalAdvance(QStringLiteral("Icon und"));
    const int besideStart = beside->mapTo(&f.dialog(), QPoint(0, 0)).x();
    if (textEnd <= besideStart)
        return {};
    return {
        QStringLiteral("\"Icon und\" ends at %1, the choices start at %2").arg(textEnd).arg(besideStart)
    };
}

// Shows the main window or the options dialog over INI and hands it to `check`, with the
// findings of checks that only that window needs.
void withWindow(const QString& which,
    const QString& ini,
    const std::function<void(QWidget& window, const QStringList& findings)>& check)
{
    if (which == QLatin1String("main window")) {
        kx::test::MainWindowFixture f(ini.toStdString());
        kx::ui::MainWindow& form = f.start();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        check(form, {});
    } else {
        kx::test::OptionsFixture f(ini.toStdString());
        QVERIFY(f.open());
        check(f.dialog(), iconAndHidden(f));
    }
}

struct ScaledFont
{
    explicit ScaledFont(qreal scale)
    {
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * scale);
        QApplication::setFont(font);
    }
    ~ScaledFont() { QApplication::setFont(original); }
    const QFont original = QApplication::font();
};

const QString kOneEntry = QStringLiteral("[Settings]\nCount=1\n[Name]\n1=Adresse\n[Text]\n1=x\n");
const QString kStripOn = QStringLiteral("[Common]\nPumActViaBorder=1\n");

} // namespace

class CaptionsFitTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsFitTheirControls_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<qreal>("fontScale");
        for (const qreal scale : { 1.0, 1.5 }) {
            const QString font = scale == 1.0 ? QStringLiteral("default font") : QStringLiteral("font x1.5");
            QTest::addRow("main window, %s", qPrintable(font)) << "main window" << kOneEntry << scale;
            QTest::addRow("options, strip off, %s", qPrintable(font)) << "options" << QString() << scale;
            QTest::addRow("options, strip on, %s", qPrintable(font)) << "options" << kStripOn << scale;
        }
    }

    void captionsFitTheirControls()
    {
        QFETCH(QString, window);
        QFETCH(QString, ini);
        QFETCH(qreal, fontScale);
        const ScaledFont font(fontScale);
        withWindow(window, ini, [](QWidget& form, const QStringList& findings) {
            QStringList clipped = findings + clippedCaptions(form);
            // Larger than at load changes nothing for the captions either.
            form.resize(form.size() + QSize(200, 150));
            clipped += clippedCaptions(form);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        });
    }

    void captionsStillFitWhenTheFontGrowsWhileTheWindowIsOpen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("ini");
        QTest::newRow("main window") << "main window" << kOneEntry;
        QTest::newRow("options") << "options" << kStripOn;
    }

    void captionsStillFitWhenTheFontGrowsWhileTheWindowIsOpen()
    {
        QFETCH(QString, window);
        QFETCH(QString, ini);
        withWindow(window, ini, [](QWidget& form, const QStringList&) {
            const QSize before = form.size();
            const ScaledFont font(1.5);
            // The window and its layouts follow once the posted events are handled.
            QTRY_VERIFY(form.width() > before.width());
            QTRY_VERIFY2(clippedCaptions(form).isEmpty(),
                qPrintable(clippedCaptions(form).join(QLatin1Char('\n'))));
            // The window grew to hold the larger panes, instead of cutting them off.
            const QSize needed = form.minimumSizeHint();
            QCOMPARE(form.size().expandedTo(needed), form.size());
        });
    }
};

QTEST_MAIN(CaptionsFitTest)
#include "CaptionsFitTest.moc"
