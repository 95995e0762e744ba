// The grid as a spreadsheet user drives it: Tab and the other keys, ranges
// made with the mouse and the keyboard, merges, and rows and columns put in
// and taken out. Every change is one undo step that gives back the exact table.
#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>

#include <memory>

#include "gui/window/main_window.h"
#include "support/window_parts.h"

using namespace parts;

namespace {

// A window on the cell view with a table of cols x rows, typed into the boxes.
std::unique_ptr<frmMain> openWindow(int cols, int rows)
{
    auto w = shownWindow();
    for (auto [name, n] : {std::pair{"txtWidth", cols}, std::pair{"txtHeight", rows}}) {
        QLineEdit *box = part<QLineEdit>(*w, name);
        box->selectAll();
        QTest::keyClicks(box, QByteArray::number(n).constData());
    }
    clickBar(*w, ToolbarButton::CellView);
    grid(*w)->setFocus();
    return w;
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(QApplication::focusWidget(), k, mods);
}

void type(const char *text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

QPoint at(frmMain &w, int col, int row)
{
    return grid(w)->cellRect(col, row).center();
}

void clickCell(frmMain &w, int col, int row, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, mods, at(w, col, row));
}

void clickHeader(QHeaderView *h, int line)
{
    const int mid = h->sectionViewportPosition(line - 1) + h->sectionSize(line - 1) / 2;
    const QPoint p = h->orientation() == Qt::Horizontal ? QPoint(mid, h->height() / 2) : QPoint(h->width() / 2, mid);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, p);
}

QPoint current(frmMain &w)
{
    return QPoint(grid(w)->Col(), grid(w)->Row());
}

bool sameTable(const TableModel &a, const TableModel &b)
{
    if (a.Cells != b.Cells)
        return false;
    return a.TableRows == b.TableRows && a.TableCols == b.TableCols;
}

// Runs cmd, checks it made one undo step, undoes it and checks the table is
// as before, then redoes it.
void oneUndoStep(frmMain &w, const std::function<void()> &cmd)
{
    const TableModel before = model(w);
    const int steps = doc(w).undoStack()->index();
    cmd();
    QCOMPARE(doc(w).undoStack()->index(), steps + 1);
    const TableModel after = model(w);
    doc(w).undoStack()->undo();
    QVERIFY(sameTable(model(w), before));
    doc(w).undoStack()->redo();
    QVERIFY(sameTable(model(w), after));
}

} // namespace

class TestGridRanges : public QObject
{
    Q_OBJECT

private slots:
    void tabEnterF2AndHomeEnd();
    void deleteClearsTheRange();
    void rangesByMouseAndKeys();
    void paneAndHeaderApplyToTheRange();
    void mergesAreDrawnAndSelectedWhole();
    void rowsAndColumnsInsertedAndDeleted();
    void theLimitIsSaid();
};

void TestGridRanges::tabEnterF2AndHomeEnd()
{
    auto w = openWindow(3, 2);
    clickCell(*w, 1, 1);
    type("a");
    key(Qt::Key_Tab);          // commits, moves right
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("a"));
    QCOMPARE(current(*w), QPoint(2, 1));
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);          // past the row's end: the next row
    QCOMPARE(current(*w), QPoint(1, 2));
    type("b");
    key(Qt::Key_Backtab);      // Shift+Tab commits and goes back, to the row above
    QCOMPARE(model(*w).Cells(1, 2).Text, QStringLiteral("b"));
    QCOMPARE(current(*w), QPoint(3, 1));
    clickCell(*w, 1, 1);
    key(Qt::Key_F2);           // the box on the existing text
    type("c");
    key(Qt::Key_Return);       // commits and moves down, as in a spreadsheet
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("ac"));
    QCOMPARE(current(*w), QPoint(1, 2));
    QVERIFY(grid(*w)->hasFocus());
    key(Qt::Key_Up);
    key(Qt::Key_End);
    QCOMPARE(current(*w), QPoint(3, 1));
    key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(current(*w), QPoint(3, 2));
    key(Qt::Key_Home);
    QCOMPARE(current(*w), QPoint(1, 2));
    key(Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(current(*w), QPoint(1, 1));
}

void TestGridRanges::deleteClearsTheRange()
{
    auto w = openWindow(3, 3);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            doc(*w).setCellText(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
    clickCell(*w, 2, 2);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    for (Qt::Key k : {Qt::Key_Delete, Qt::Key_Backspace}) {
        oneUndoStep(*w, [&] { key(k); });
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= 3; ++r)
                QCOMPARE(model(*w).Cells(c, r).Text.isEmpty(), c >= 2 && r >= 2);
        QCOMPARE(grid(*w)->text(3, 3), QString());
        doc(*w).undoStack()->undo();
        QCOMPARE(grid(*w)->text(3, 3), QStringLiteral("3,3"));
    }
}

void TestGridRanges::rangesByMouseAndKeys()
{
    auto w = openWindow(4, 4);
    GridWidget *g = grid(*w);
    // A drag.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, at(*w, 1, 1));
    QTest::mouseMove(g->viewport(), at(*w, 2, 3));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, at(*w, 2, 3));
    QCOMPARE(g->selectedCells(), QRect(1, 1, 2, 3));
    QCOMPARE(current(*w), QPoint(1, 1));
    // Shift+click, then Shift+arrows from its far end.
    clickCell(*w, 3, 2, Qt::ShiftModifier);
    QCOMPARE(g->selectedCells(), QRect(1, 1, 3, 2));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(g->selectedCells(), QRect(1, 1, 4, 3));
    // A plain arrow leaves the range.
    key(Qt::Key_Right);
    QCOMPARE(g->selectedCells(), QRect(2, 1, 1, 1));
    // Row and column numbers, and the corner.
    clickHeader(g->verticalHeader(), 3);
    QCOMPARE(g->selectedCells(), QRect(1, 3, 4, 1));
    QCOMPARE(current(*w), QPoint(1, 3));
    clickHeader(g->horizontalHeader(), 2);
    QCOMPARE(g->selectedCells(), QRect(2, 1, 1, 4));
    g->findChild<QAbstractButton *>()->click();
    QCOMPARE(g->selectedCells(), QRect(1, 1, 4, 4));
    key(Qt::Key_B, Qt::ControlModifier);  // a shortcut is no move
    QCOMPARE(gridEditor(*w)->selectedCells(), QRect(1, 1, 4, 4));
}

void TestGridRanges::paneAndHeaderApplyToTheRange()
{
    auto w = openWindow(3, 3);
    clickCell(*w, 1, 2);
    clickCell(*w, 3, 3, Qt::ShiftModifier);
    // The colour switch of the pane.
    oneUndoStep(*w, [&] { part<QCheckBox>(*w, "chkBackColorNothing2")->click(); });
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            QCOMPARE(model(*w).Cells(c, r).BackColorNothing, qint16(r >= 2 ? 0 : 1));
    // A slider dragged over its positions is one step.
    QSlider *slider = part<QSlider>(*w, "SliW");
    oneUndoStep(*w, [&] {
        slider->setSliderDown(true);
        slider->setValue(0);
        slider->setValue(2);
        slider->setSliderDown(false);
    });
    QCOMPARE(model(*w).Cells(3, 3).HAlign, qint16(2));
    QCOMPARE(model(*w).Cells(1, 2).HAlign, qint16(2));
    QCOMPARE(model(*w).Cells(1, 1).HAlign, qint16(1));
    // The toolbar's header toggle.
    oneUndoStep(*w, [&] { clickBar(*w, ToolbarButton::Header); });
    QCOMPARE(model(*w).Cells(2, 3).Header, qint16(-1));
    QCOMPARE(model(*w).Cells(2, 1).Header, qint16(0));
    QVERIFY(grid(*w)->cellBold(3, 2));
}

void TestGridRanges::mergesAreDrawnAndSelectedWhole()
{
    auto w = openWindow(4, 4);
    GridWidget *g = grid(*w);
    doc(*w).setCellText(3, 3, QStringLiteral("hidden"));
    clickCell(*w, 2, 2);
    clickCell(*w, 3, 4, Qt::ShiftModifier);
    // The covered text stays where it is, hidden.
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            part<QPushButton>(*box, "keep")->click();
    });
    oneUndoStep(*w, [&] { item(*w, "mnuMerge")->trigger(); });
    QCOMPARE(model(*w).Cells(3, 3).Text, QStringLiteral("hidden"));
    w->activateWindow(); // the question had the keyboard
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    g->setFocus();
    const CellRecord &top = model(*w).Cells(2, 2);
    QCOMPARE(top.ColSpanOn, qint16(1));
    QCOMPARE(top.ColSpan, 2);
    QCOMPARE(top.RowSpanOn, qint16(1));
    QCOMPARE(top.RowSpan, 3);
    // Drawn across, and a covered cell is the spanning one.
    QCOMPARE(g->rowSpan(1, 1), 3);
    QCOMPARE(g->columnSpan(1, 1), 2);
    clickCell(*w, 1, 1);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(3, 2)).center());
    QCOMPARE(current(*w), QPoint(2, 2));
    QCOMPARE(g->selectedCells(), QRect(2, 2, 2, 3));
    // The arrows step over it.
    key(Qt::Key_Right);
    QCOMPARE(current(*w), QPoint(4, 2));
    key(Qt::Key_Left);
    QCOMPARE(current(*w), QPoint(2, 2));
    // Tab goes the way the cells are written: (3, 3) is skipped.
    clickCell(*w, 1, 3);
    key(Qt::Key_Tab);
    QCOMPARE(current(*w), QPoint(4, 3));
    // Merged in the output too.
    QVERIFY(w->BuildTableHtml().contains(QStringLiteral("COLSPAN=\"2\" ROWSPAN=\"3\"")));
    QVERIFY(!w->BuildTableHtml().contains(QStringLiteral("hidden")));
    clickCell(*w, 2, 2);
    oneUndoStep(*w, [&] { item(*w, "mnuUnmerge")->trigger(); });
    QCOMPARE(model(*w).Cells(2, 2).ColSpanOn, qint16(0));
    QCOMPARE(g->rowSpan(1, 1), 1);
    QCOMPARE(g->text(3, 3), QStringLiteral("hidden"));
}

void TestGridRanges::rowsAndColumnsInsertedAndDeleted()
{
    auto w = openWindow(3, 3);
    GridWidget *g = grid(*w);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 3; ++r)
            doc(*w).setCellText(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
    doc(*w).setCellField(1, 1, CellField::RowSpanOn, 1);
    doc(*w).setCellField(1, 1, CellField::RowSpan, 2);
    clickCell(*w, 2, 2);
    // A row above the current one: a span across it grows.
    oneUndoStep(*w, [&] { item(*w, "mnuInsertRowAbove")->trigger(); });
    QCOMPARE(model(*w).TableRows, 4);
    QCOMPARE(g->Rows(), 5);
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("4"));
    QCOMPARE(model(*w).Cells(2, 3).Text, QStringLiteral("2,2"));
    QCOMPARE(model(*w).Cells(2, 2).Text, QString());
    QCOMPARE(model(*w).Cells(1, 1).RowSpan, 3);
    QCOMPARE(current(*w), QPoint(2, 3));
    QCOMPARE(g->text(2, 3), QStringLiteral("2,2"));
    // A column to the right of the current one.
    oneUndoStep(*w, [&] { item(*w, "mnuInsertColRight")->trigger(); });
    QCOMPARE(model(*w).TableCols, 4);
    QCOMPARE(model(*w).Cells(4, 1).Text, QStringLiteral("3,1"));
    QCOMPARE(part<QLineEdit>(*w, "txtWidth")->text(), QStringLiteral("4"));
    // The selected columns go.
    clickHeader(g->horizontalHeader(), 1);
    clickCell(*w, 2, 1, Qt::ShiftModifier);
    oneUndoStep(*w, [&] { item(*w, "mnuDeleteCol")->trigger(); });
    QCOMPARE(model(*w).TableCols, 2);
    QCOMPARE(model(*w).Cells(2, 1).Text, QStringLiteral("3,1"));
    QCOMPARE(g->Cols(), 3);
    // And a row, through the grid's own menu.
    clickCell(*w, 1, 4);
    oneUndoStep(*w, [&] { item(*w, "mnuDeleteRow")->trigger(); });
    QCOMPARE(model(*w).TableRows, 3);
    // Undone, the grid and the boxes follow too.
    doc(*w).undoStack()->undo();
    QCOMPARE(g->Rows(), 5);
    QCOMPARE(part<QLineEdit>(*w, "txtHeight")->text(), QStringLiteral("4"));
}

void TestGridRanges::theLimitIsSaid()
{
    auto w = openWindow(TableLimits::MaxCols, 2);
    clickCell(*w, 1, 1);
    QString told;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    const TableModel before = model(*w);
    const int steps = doc(*w).undoStack()->index();
    item(*w, "mnuInsertColRight")->trigger();
    QVERIFY(told.contains(QString::number(TableLimits::MaxCols)));
    QVERIFY(sameTable(model(*w), before));
    QCOMPARE(doc(*w).undoStack()->index(), steps);
    QCOMPARE(grid(*w)->Cols(), TableLimits::MaxCols + 1);
}

QTEST_MAIN(TestGridRanges)
#include "tst_grid_ranges.moc"
