#include <QtTest>

#include "gui/widgets/icons.h"

class tst_Icons : public QObject
{
    Q_OBJECT

private slots:
    void everyButtonHasItsPicture_data();
    void everyButtonHasItsPicture();
    void appIconCoversTheUsualSizes();
};

void tst_Icons::everyButtonHasItsPicture_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<QList<int>>("separators");
    QTest::newRow("main toolbar") << false << QList<int>{1, 2, 3, 5, 7, 9, 10, 11, 12, 14}
                                  << QList<int>{0, 4, 6, 8, 13, 15};
    QTest::newRow("editor toolbar")
            << true << QList<int>{1, 2, 4, 5, 7, 8, 9, 10, 12, 13, 14, 15, 17}
            << QList<int>{0, 3, 6, 11, 16, 18};
}

void tst_Icons::everyButtonHasItsPicture()
{
    QFETCH(bool, editor);
    QFETCH(QList<int>, buttons);
    QFETCH(QList<int>, separators);
    QSet<QByteArray> seen;
    for (int i : buttons) {
        const QIcon icon = editor ? editorIcon(i) : toolbarIcon(i);
        QVERIFY2(!icon.isNull(), qPrintable(QString::number(i)));
        for (int size : {16, 24, 32}) {
            QImage image = icon.pixmap(size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Something is drawn, and not over the whole square.
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(opaque > size && opaque < size * size, qPrintable(QString::number(i)));
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        icon.pixmap(24).save(&buffer, "PNG");
        seen.insert(bytes);
    }
    // Within one toolbar no two buttons look alike.
    QCOMPARE(seen.size(), buttons.size());
    for (int i : separators)
        QVERIFY((editor ? editorIcon(i) : toolbarIcon(i)).isNull());
}

void tst_Icons::appIconCoversTheUsualSizes()
{
    const QIcon icon = appIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48, 256})
        QCOMPARE(icon.pixmap(size).size(), QSize(size, size));
    QCOMPARE(appPicture(72).size(), QSize(72, 72));
}

QTEST_MAIN(tst_Icons)
#include "tst_icons.moc"
