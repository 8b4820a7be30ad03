#include "backends/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

class QtClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void textArrivesUnchangedWithLineBreaksAndUmlauts()
    {
        kx::platform::QtClipboard clipboard;
        QVERIFY(clipboard.setText("dir /w\r\tä€"));
        QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), QString("dir /w\r\tä€"));
        if (QGuiApplication::clipboard()->supportsSelection())
            QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Selection), QString("dir /w\r\tä€"));
        QVERIFY(clipboard.setText("zweiter"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("zweiter"));
    }
};

QTEST_MAIN(QtClipboardTest)
#include "QtClipboardTest.moc"
