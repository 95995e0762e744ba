// Cut, copy and paste on the grid, as a user does them with the keys.
#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QToolBar>
#include <QUndoStack>

#include <memory>

#include "gui/window/main_window.h"
#include "core/import/cell_block.h"
#include "core/import/html_tables.h"
#include "gui/widgets/file_commands.h"
#include "support/window_parts.h"
#include "gui/grid/grid_clipboard.h"

using namespace parts;

namespace {

std::unique_ptr<frmMain> openWindow()
{
    auto w = shownWindow();
    QTest::mouseClick(part<QToolBar>(*w, "Bar")->widgetForAction(barAction(*w, ToolbarButton::CellView)),
                      Qt::LeftButton);
    return w;
}

void clickCell(frmMain &w, int col, int row)
{
    QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, {}, grid(w)->cellRect(col, row).center());
}

// Keys as a user types them: each goes to whatever has the focus then.
void type(const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(QApplication::focusWidget(), *c);
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(QApplication::focusWidget(), k, mods);
}

bool sameTable(const TableModel &a, const TableModel &b)
{
    if (a.TableRows != b.TableRows || a.TableCols != b.TableCols)
        return false;
    if (a.Cells != b.Cells)
        return false;
    return true;
}

} // namespace

class TstGridClipboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void copyPasteCutWithKeys();
    void pastedBlockGrowsTheTableAndUndoes();
    void clippedPasteSaysSo();
    void oversizedClipboardSaysSo();
    void keysInTheBoxAreTheBoxs();

private:
    QStringList m_messages;
};

void TstGridClipboard::init()
{
    m_messages.clear();
    setFileMessageHook([this](QWidget *, const QString &text) { m_messages << text; });
}

void TstGridClipboard::cleanup()
{
    setFileMessageHook({});
}

// A user fills a cell, makes it a header, copies it to another cell and cuts
// the first one: the copy keeps every setting, each command is one step.
void TstGridClipboard::copyPasteCutWithKeys()
{
    auto w = openWindow();
    clickCell(*w, 1, 1);
    type("abc");
    key(Qt::Key_Return);
    clickCell(*w, 1, 1); // Enter moved down
    clickBar(*w, ToolbarButton::Header);
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1));

    key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc\n"));
    QVERIFY(QApplication::clipboard()->mimeData()->hasFormat(QLatin1String(CellBlockMimeType)));

    clickCell(*w, 2, 2);
    const int steps = doc(*w).undoStack()->count();
    key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(model(*w).Cells(2, 2) == model(*w).Cells(1, 1));
    QCOMPARE(grid(*w)->text(2, 2), QStringLiteral("abc"));
    QVERIFY(grid(*w)->cellBold(2, 2));
    QCOMPARE(doc(*w).undoStack()->count(), steps + 1);

    clickCell(*w, 1, 1);
    key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc\n"));
    QCOMPARE(model(*w).Cells(1, 1).Text, QString());
    QCOMPARE(model(*w).Cells(1, 1).Header, qint16(-1)); // a cut takes the text only
    QCOMPARE(grid(*w)->text(1, 1), QString());
    QCOMPARE(doc(*w).undoStack()->count(), steps + 2);
    doc(*w).undoStack()->undo();
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("abc"));
}

// A spreadsheet's block lands from the current cell, the grid and the size
// boxes grow with the table, and one undo puts back exactly what was there.
void TstGridClipboard::pastedBlockGrowsTheTableAndUndoes()
{
    auto w = openWindow();
    clickCell(*w, 2, 2);
    const TableModel before = model(*w);
    QFile calc(QDir::cleanPath(QStringLiteral(QUORVAN_TEST_DATA "/calc_sheet.html")));
    QVERIFY(calc.open(QIODevice::ReadOnly));
    auto *data = new QMimeData;
    data->setHtml(QString::fromUtf8(calc.readAll()));
    data->setText(QStringLiteral("ignored"));
    QApplication::clipboard()->setMimeData(data);

    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model(*w).TableRows, 5);
    QCOMPARE(model(*w).TableCols, 5);
    QCOMPARE(grid(*w)->Rows(), 6);
    QCOMPARE(grid(*w)->Cols(), 6);
    QCOMPARE(box(*w, "txtHeight")->text(), QStringLiteral("5"));
    QCOMPARE(box(*w, "txtWidth")->text(), QStringLiteral("5"));
    QCOMPARE(grid(*w)->text(3, 4), QStringLiteral("一行目\r\n二行目"));
    QCOMPARE(model(*w).Cells(3, 3).ColSpan, 2);
    QCOMPARE(model(*w).Cells(4, 4).RowSpan, 2);
    QVERIFY(grid(*w)->rowHeight(4) > grid(*w)->rowHeight(2)); // the two-line row fitted
    QVERIFY(w->BuildTableHtml().contains(QStringLiteral("体育")));
    // The sheet's fonts stay behind; its right-aligned numbers and left-aligned texts come across.
    QVERIFY(!w->BuildTableHtml().contains(QStringLiteral("<font"), Qt::CaseInsensitive));
    QCOMPARE(model(*w).Cells(2, 3).HAlign, qint16(2));
    QCOMPARE(model(*w).Cells(3, 3).HAlign, qint16(0));

    doc(*w).undoStack()->undo();
    QVERIFY(sameTable(model(*w), before));
    QCOMPARE(grid(*w)->Rows(), 3);
    QCOMPARE(box(*w, "txtHeight")->text(), QStringLiteral("2"));
    QVERIFY(m_messages.isEmpty());

    // Ctrl+Shift+V takes the clipboard's plain text only.
    key(Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(model(*w).Cells(2, 2).Text, QStringLiteral("ignored"));
    QCOMPARE(model(*w).TableRows, 2);
}

void TstGridClipboard::clippedPasteSaysSo()
{
    auto w = openWindow();
    clickCell(*w, 2, 1);
    // 120 lines grow the table; three values from the last column but one pass its limit.
    QString lines;
    for (int i = 1; i <= 120; ++i)
        lines += QStringLiteral("%1\tx\n").arg(i);
    QApplication::clipboard()->setText(lines);
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model(*w).TableRows, 120);
    QCOMPARE(model(*w).Cells(2, 120).Text, QStringLiteral("120"));
    QCOMPARE(m_messages.size(), 0);
    doc(*w).setTableField(TableField::Cols, TableLimits::MaxCols);
    clickBar(*w, ToolbarButton::TableView);
    clickBar(*w, ToolbarButton::CellView);
    grid(*w)->moveCurrentTo(TableLimits::MaxCols - 1, 1);
    QApplication::clipboard()->setText(QStringLiteral("a\tb\tc\n"));
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model(*w).TableCols, TableLimits::MaxCols);
    QCOMPARE(model(*w).Cells(TableLimits::MaxCols, 1).Text, QStringLiteral("b"));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.at(0).contains(QStringLiteral("1 行 × 3 列")));
}

// More text than a page may hold is not pasted, and that is said.
void TstGridClipboard::oversizedClipboardSaysSo()
{
    auto w = openWindow();
    clickCell(*w, 1, 1);
    QApplication::clipboard()->setText(QString(MaxHtmlPageBytes + 1, u'x'));
    key(Qt::Key_V, Qt::ControlModifier);
    QApplication::clipboard()->clear();
    QCOMPARE(model(*w).Cells(1, 1).Text, QString());
    QCOMPARE(m_messages, QStringList(QStringLiteral("クリップボードの内容が大きすぎるため、貼り付けできませんでした。")));
}

// In the in-place box the keys cut, copy and paste its text; the grid's
// cells stay as they are.
void TstGridClipboard::keysInTheBoxAreTheBoxs()
{
    auto w = openWindow();
    clickCell(*w, 1, 1);
    type("hello");
    QLineEdit *insert = box(*w, "txtInsert");
    QCOMPARE(QApplication::focusWidget(), insert);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("hello"));
    key(Qt::Key_End);
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(insert->text(), QStringLiteral("hellohello"));
    QCOMPARE(model(*w).TableRows, 2);
    key(Qt::Key_Return);
    QCOMPARE(model(*w).Cells(1, 1).Text, QStringLiteral("hellohello"));
}

QTEST_MAIN(TstGridClipboard)
#include "tst_grid_clipboard.moc"
