// Find and replace as a user meets them: on the text the cells show, again
// with F3 once the dialog is closed, said in the status bar; and a Replace All
// that would explode is refused in a process short of memory, which lives on.
#include <QtTest>

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>

#include "gui/grid/find_replace_dialog.h"
#include "gui/widgets/status_announcer.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

std::unique_ptr<frmMain> cellView(int cols, int rows)
{
    auto w = shownWindow();
    doc(*w).setSize(rows, cols);
    clickBar(*w, ToolbarButton::CellView);
    grid(*w)->setFocus();
    return w;
}

QPoint current(frmMain &w) { return QPoint(grid(w)->Col(), grid(w)->Row()); }
QString announced(frmMain &w) { return part<StatusAnnouncer>(w, "lblAnnouncement")->text(); }

} // namespace

class TstFindReplace : public QObject
{
    Q_OBJECT

private slots:
    void findAndReplaceWhatTheCellsShow();
    void explosiveReplaceAllLeavesTheTable();
    void explosiveReplaceAllInAChild();
};

void TstFindReplace::findAndReplaceWhatTheCellsShow()
{
    auto w = cellView(2, 2);
    doc(*w).setCellText(1, 1, QStringLiteral("Tea &amp; milk"));
    doc(*w).setCellText(2, 1, QStringLiteral("<SMALL>milk</SMALL>"));
    doc(*w).setCellText(1, 2, QStringLiteral("milk &lt;2&gt;"));

    QTest::keyClick(grid(*w), Qt::Key_F, Qt::ControlModifier);
    auto *dlg = w->findChild<FindReplaceDialog *>();
    QVERIFY(dlg && dlg->isVisible());
    QTest::keyClicks(box(*dlg, "txtFind"), "milk");
    QTest::keyClick(box(*dlg, "txtFind"), Qt::Key_Return);
    QCOMPARE(current(*w), QPoint(2, 1));
    // The dialog keeps clear of the cell it found.
    const QRect cell = grid(*w)->cellRect(2, 1);
    QVERIFY(!dlg->frameGeometry().intersects(QRect(grid(*w)->viewport()->mapToGlobal(cell.topLeft()), cell.size())));
    part<QPushButton>(*dlg, "cmdClose")->click();

    // The same search with the dialog closed, on round past the end and back.
    grid(*w)->setFocus();
    QTest::keyClick(grid(*w), Qt::Key_F3);
    QCOMPARE(current(*w), QPoint(1, 2));
    QTest::keyClick(grid(*w), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(current(*w), QPoint(1, 1));
    QCOMPARE(announced(*w), QStringLiteral("表の末尾まで検索したので、先頭から続けて検索しました。"));
    QTest::keyClick(grid(*w), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(current(*w), QPoint(1, 2));
    QVERIFY(!dlg->isVisible());

    // "&" is the character the cell shows, not the markup's "&amp;" or "&lt;".
    QTest::keyClick(grid(*w), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(dlg->isVisible());
    box(*dlg, "txtFind")->setText(QStringLiteral("&"));
    box(*dlg, "txtReplace")->setText(QStringLiteral("and"));
    part<QPushButton>(*dlg, "cmdReplaceAll")->click();
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("Tea and milk"));
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("milk &lt;2&gt;"));
    QCOMPARE(part<QLabel>(*dlg, "lblStatus")->text(), QStringLiteral("1 個所を置換しました。"));
    QCOMPARE(announced(*w), QStringLiteral("1 個所を置換しました。"));

    // A tag's name is found only in the source.
    box(*dlg, "txtFind")->setText(QStringLiteral("small"));
    box(*dlg, "txtReplace")->setText(QStringLiteral("B"));
    part<QPushButton>(*dlg, "cmdReplaceAll")->click();
    QCOMPARE(announced(*w), QStringLiteral("「small」は見つかりません。"));
    part<QCheckBox>(*dlg, "chkSource")->click();
    part<QPushButton>(*dlg, "cmdReplaceAll")->click();
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("<B>milk</B>"));
    QCOMPARE(announced(*w), QStringLiteral("2 個所を置換しました。"));
}

// Each "." of a full table of 100-letter cells by 1,000 letters: a thousand
// million characters, refused with a message before anything changes.
void TstFindReplace::explosiveReplaceAllLeavesTheTable()
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUORVAN_FIND_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    // An address space of 2 GiB: the old Replace All threw std::bad_alloc
    // here and took every window with it.
    child.start(QStringLiteral("prlimit"), {QStringLiteral("--as=2147483648"), QStringLiteral("--"),
                                            QCoreApplication::applicationFilePath(),
                                            QStringLiteral("explosiveReplaceAllInAChild")});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForFinished(120000));
    const QString said = QString::fromUtf8(child.readAll());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("refused: 置換すると表のテキストが表ファイルの上限の 64 MB を超えるため、何も置換していません。")),
             qPrintable(said));
    QVERIFY2(said.contains(QLatin1String("still answering")), qPrintable(said));
}

void TstFindReplace::explosiveReplaceAllInAChild()
{
    if (qEnvironmentVariableIsEmpty("QUORVAN_FIND_CHILD"))
        QSKIP("run by explosiveReplaceAllLeavesTheTable under a memory limit");
    auto w = cellView(TableLimits::ClassicLines, TableLimits::ClassicLines);
    const QString letters(100, u'x');
    doc(*w).editModel(QStringLiteral("fill"), [&](TableModel &m) {
        for (int r = 1; r <= m.TableRows; ++r)
            for (int c = 1; c <= m.TableCols; ++c)
                m.Cells(c, r).Text = letters;
    });
    const int steps = doc(*w).undoStack()->count();
    QTest::keyClick(grid(*w), Qt::Key_H, Qt::ControlModifier);
    auto *dlg = w->findChild<FindReplaceDialog *>();
    QVERIFY(dlg);
    part<QCheckBox>(*dlg, "chkRegex")->click();
    box(*dlg, "txtFind")->setText(QStringLiteral("."));
    box(*dlg, "txtReplace")->setText(QString(1000, u'y'));
    part<QPushButton>(*dlg, "cmdReplaceAll")->click();
    std::printf("refused: %s\n", part<QLabel>(*dlg, "lblStatus")->text().toUtf8().constData());
    QCOMPARE(model(*w).Cells(TableLimits::ClassicLines, TableLimits::ClassicLines).Text, letters);
    QCOMPARE(doc(*w).undoStack()->count(), steps);
    // The window goes on: the next command works.
    QTest::keyClick(grid(*w), Qt::Key_Delete);
    QCOMPARE(model(*w).Cells(grid(*w)->Col(), grid(*w)->Row()).Text, QString());
    std::printf("still answering\n");
    std::fflush(stdout);
}

QTEST_MAIN(TstFindReplace)
#include "tst_find_replace.moc"
