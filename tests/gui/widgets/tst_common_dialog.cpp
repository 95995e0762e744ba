#include <QtTest>

#include <QComboBox>
#include <QFileDialog>

#include "gui/widgets/common_dialog.h"

class tst_CommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void fileTypeLinesShowThePatternOnce_data();
    void fileTypeLinesShowThePatternOnce();
};

void tst_CommonDialog::fileTypeLinesShowThePatternOnce_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("name ends in its pattern") << "ファイル(*.*)|*.*" << QStringList{"ファイル(*.*)"};
    QTest::newRow("pattern differs from the name's")
        << "Quorvan File(*.QVN ･ *.QVF)|*.qvn;*.qvf"
        << QStringList{"Quorvan File(*.QVN ･ *.QVF) (*.qvn *.qvf)"};
    QTest::newRow("two types") << "Quorvan File(*.QVN)|*.qvn|すべてのファイル(*.*)|*.*"
                               << QStringList{"Quorvan File(*.QVN) (*.qvn)", "すべてのファイル(*.*)"};
}

// The type line as the user sees it in the open dialog.
void tst_CommonDialog::fileTypeLinesShowThePatternOnce()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);

    QWidget owner;
    CommonDialog dlg(&owner);
    QStringList items;
    QTimer::singleShot(0, &owner, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
            for (int i = 0; i < types->count(); ++i)
                items << types->itemText(i);
        }
        dialog->reject();
    });
    QString fileName;
    QVERIFY(!dlg.ShowOpen(QStringLiteral("t"), filter, fileName));
    QCOMPARE(items, shown);
}

QTEST_MAIN(tst_CommonDialog)
#include "tst_common_dialog.moc"
