// The data tools of the Cell menu: sorting by one or several keys, transpose,
// fills and series, a column of row numbers. The edits themselves are the
// core's; here they become one undo step each and the grid follows.
#include "gui/grid/grid_editor.h"

#include <new>

#include "core/io/compression.h"
#include "core/model/grid_text.h"
#include "core/model/table_tools.h"
#include "gui/grid/grid_widget.h"
#include "gui/grid/sort_dialog.h"

using namespace tabletools;

bool GridEditor::runTool(const QString &step, const std::function<void(TableModel &)> &fn)
{
    QUndoStack *stack = m_doc.undoStack();
    const int before = stack->index();
    try {
        m_doc.editModel(step, fn);
        return true;
    } catch (const std::bad_alloc &) {
        // What was written before memory ran out goes back.
        if (stack->index() > before)
            stack->undo();
        tell(tr("メモリが足りないため、「%1」を中止しました。").arg(step));
        return false;
    }
}

void GridEditor::sortRows(bool descending, tableedits::SortKey key)
{
    commitOpenBox();
    const int col = Grid->Col();
    if (col < 1)
        return;
    // The menu's text has always read digits as numbers.
    const SortKind kind = key == tableedits::SortKey::Number ? SortKind::Number : SortKind::Natural;
    sortBy({SortKey{col, kind, descending}}, sortFrame(m_doc.model()));
}

void GridEditor::showSortDialog()
{
    commitOpenBox();
    const TableModel &m = m_doc.model();
    const SortFrame frame = sortFrame(m);
    const int rows = Grid->Rows() - 1, cols = Grid->Cols() - 1;
    // Each column by its number and what its first row (or last header row) says.
    const int labelRow = std::max(frame.headerRows, 1);
    QStringList names;
    for (int c = 1; c <= cols; ++c) {
        QString label = HtmlToGridText(m.Cells(c, labelRow).Text).simplified();
        if (label.size() > 24)
            label = label.left(23) + QChar(0x2026);
        names << (label.isEmpty() ? tr("列 %1").arg(c) : tr("列 %1：%2").arg(c).arg(label));
    }
    const int first = frame.firstBody(), last = frame.lastBody(rows);
    SortDialog dlg(names, [&m, first, last](int col) { return guessKind(m, col, first, last); }, Grid->window());
    const int col = qBound(1, Grid->Col(), cols);
    dlg.setFirstKey({col, guessKind(m, col, first, last), false});
    dlg.setFirstRowIsHeader(frame.headerRows > 0 || frame.labelRow, frame.headerRows > 0);
    if (dlg.exec() != QDialog::Accepted)
        return;
    SortFrame chosen = frame;
    if (frame.headerRows == 0)
        chosen.labelRow = dlg.firstRowIsHeader();
    sortBy(dlg.keys(), chosen);
}

// The selected rows when there are several, else every row; never the
// header, label or footer rows of frame.
void GridEditor::sortBy(const QVector<SortKey> &keys, const SortFrame &frame)
{
    const QRect cells = Grid->selectedCells();
    if (cells.top() < 1 || keys.isEmpty())
        return;
    const int rows = qBound(1, int(m_doc.model().TableRows), TableLimits::MaxRows);
    int first = 1, last = rows;
    if (cells.height() > 1) {
        first = cells.top();
        last = cells.bottom();
    }
    first = std::max(first, frame.firstBody());
    last = std::min(last, frame.lastBody(rows));
    if (first >= last)
        return;
    // A sort that would tear a span apart changes nothing.
    int spanRow = 0;
    if (!runTool(tr("並べ替え"), [&](TableModel &t) { spanRow = tabletools::sortRows(t, first, last, keys); }))
        return;
    if (spanRow) {
        tell(tr("%1 行目のセルが縦に結合しているため、並べ替えられません。結合を解除してから並べ替えてください。")
                     .arg(spanRow));
        return;
    }
    // The current cell may now hold another row's settings.
    Grid_Click();
}

void GridEditor::transposeTable()
{
    commitOpenBox();
    const TableModel &m = m_doc.model();
    if (m.TableRows > TableLimits::MaxCols) {
        tell(tr("行と列を入れ替えられません。表の列は %1 までのため、行が %1 を超える表は入れ替えられません。")
                     .arg(TableLimits::MaxCols));
        return;
    }
    const bool footer = m.FooterRows > 0;
    // The current cell goes over the diagonal with the rest.
    const QPoint current(Grid->Row(), Grid->Col());
    if (!runTool(tr("行と列の入れ替え"), [](TableModel &t) { transpose(t); }))
        return;
    showCurrent(current);
    if (footer)
        tell(tr("フッター行は列になったため、フッター行の設定を外しました。"));
}

void GridEditor::fillSelection(bool down)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    FillStatus status = FillStatus::Nothing;
    if (runTool(down ? tr("下方向へコピー") : tr("右方向へコピー"),
                [&](TableModel &t) { status = fill(t, cells, down); }))
        tellFill(status);
    Grid_Click();
}

void GridEditor::fillSelectionSeries(bool down)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    FillStatus status = FillStatus::Nothing;
    if (runTool(tr("連続データ"), [&](TableModel &t) { status = fillSeries(t, cells, down); }))
        tellFill(status);
    Grid_Click();
}

void GridEditor::tellFill(FillStatus status)
{
    if (status == FillStatus::TooManyCells)
        tell(tr("一度に書き込めるのは %L1 セルまでです。範囲を狭めてください。").arg(MaxFillCells));
    else if (status == FillStatus::TooMuchText)
        tell(tr("表のテキストが表ファイルの上限の %1 MB を超えるため、何も変更していません。")
                     .arg(MaxTableTextBytes / (1024 * 1024)));
}

void GridEditor::insertRowNumbers()
{
    commitOpenBox();
    if (m_doc.model().TableCols >= TableLimits::MaxCols) {
        tell(tr("列を挿入できません。表の列は %1 までです。").arg(TableLimits::MaxCols));
        return;
    }
    NumberStatus status = NumberStatus::Done;
    const QPoint current(Grid->Col() + 1, Grid->Row());
    if (!runTool(tr("行番号の挿入"), [&](TableModel &t) { status = tabletools::insertRowNumbers(t, tr("番号")); }))
        return;
    if (status == NumberStatus::TooMuchText) {
        tellFill(FillStatus::TooMuchText);
        return;
    }
    showCurrent(status == NumberStatus::Done ? current : QPoint(Grid->Col(), Grid->Row()));
}
