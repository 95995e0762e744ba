#include <QtTest>

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>

#include "gui/help/frm_about.h"

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void showsNameAndVersion();
    void pressingThePictureDoesNothing_data();
    void pressingThePictureDoesNothing();
    void okCloses();
};

void tst_About::showsNameAndVersion()
{
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Quorvanのバージョン情報"));
    QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lblV"))->text(), QStringLiteral("Ver.3.4.0"));
    auto *name = dlg.findChild<QLabel *>(QStringLiteral("Label1"));
    QCOMPARE(name->text(), QStringLiteral("Quorvan"));
    QCOMPARE(name->font().pointSize(), 28);
    QCOMPARE(name->font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
    // Where that face is not installed, a Japanese one stands in.
    QVERIFY(QFontDatabase::writingSystems(QFontInfo(name->font()).family())
                .contains(QFontDatabase::Japanese));
    auto *version = dlg.findChild<QLabel *>(QStringLiteral("lblV"));
    QVERIFY(version->font().bold());
    QCOMPARE(version->font().pointSize(), 12);
    QVERIFY(!dlg.findChild<QLabel *>(QStringLiteral("Label2"))->text().isEmpty());
    QVERIFY(dlg.findChild<QFrame *>(QStringLiteral("Line1")));
    QCOMPARE(dlg.size(), QSize(273, 145));
    QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    QVERIFY(dlg.windowFlags().testFlag(Qt::Tool));
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    auto *ok = dlg.findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry().center().x(), 273 / 2);
    auto *pic = dlg.findChild<QLabel *>(QStringLiteral("picSpot"));
    QCOMPARE(pic->size(), QSize(72, 72));
    QVERIFY(!pic->pixmap().isNull());
    QVERIFY(pic->toolTip().contains(QStringLiteral("四隅")));
}

void tst_About::pressingThePictureDoesNothing_data()
{
    QTest::addColumn<QList<QPoint>>("presses");
    const QPoint tl(2, 2), tr(69, 2), br(69, 69), bl(2, 69);
    QTest::newRow("the order the tip names") << QList<QPoint>{tl, tr, br, bl};
    QTest::newRow("the reverse order") << QList<QPoint>{bl, br, tr, tl};
    QTest::newRow("crosswise, twice round")
            << QList<QPoint>{tl, br, tr, bl, tl, br, tr, bl};
}

void tst_About::pressingThePictureDoesNothing()
{
    QFETCH(QList<QPoint>, presses);
    frmAbout dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto *pic = dlg.findChild<QLabel *>(QStringLiteral("picSpot"));
    const QImage before = pic->pixmap().toImage();
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();
    for (const QPoint &at : presses)
        QTest::mouseClick(pic, Qt::LeftButton, {}, at);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), 0);
    QCOMPARE(pic->pixmap().toImage(), before);
    QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("lblV"))->text(), QStringLiteral("Ver.3.4.0"));
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore.size());
}

void tst_About::okCloses()
{
    QWidget owner;
    owner.show();
    frmAbout dlg(&owner);
    QTimer::singleShot(0, &dlg, [&dlg] {
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
