// The grid's commands on the selected cells: clearing, merging, and rows and
// columns put in or taken out. Each is one undo step.
#include "gui/grid/grid_editor.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <new>

#include "gui/grid/grid_widget.h"
#include "gui/widgets/file_commands.h"
#include "core/model/table_edits.h"

QRect GridEditor::selectedCells() const
{
    return Grid->selectedCells();
}

bool GridEditor::selectionAllHeaders() const
{
    if (!Grid->hasRange())
        return m_doc.cell(Grid->Col(), Grid->Row()).Header == -1;
    return selectionAllOf().Header == -1;
}

// The switches every shown cell of the range has: 1 (-1 for Header) where all
// have it. The cells a span covers are not shown, and do not count.
CellRecord GridEditor::selectionAllOf() const
{
    CellRecord all;
    all.Header = -1;
    all.HeightOn = all.WidthOn = all.RowSpanOn = all.ColSpanOn = all.BackColorNothing = 1;
    const QRect cells = Grid->selectedCells();
    const SpanLayout &spans = Grid->spanLayout();
    auto take = [&](const CellRecord &rec) {
        all.Header = rec.Header == -1 ? all.Header : 0;
        all.HeightOn = rec.HeightOn ? all.HeightOn : 0;
        all.WidthOn = rec.WidthOn ? all.WidthOn : 0;
        all.RowSpanOn = rec.RowSpanOn ? all.RowSpanOn : 0;
        all.ColSpanOn = rec.ColSpanOn ? all.ColSpanOn : 0;
        all.BackColorNothing = rec.BackColorNothing ? all.BackColorNothing : 0;
    };
    // The held records, and the defaults for the rest when there are others.
    qint64 held = 0;
    m_doc.model().Cells.forEachHeld(cells, [&](int c, int r, const CellRecord &rec) {
        ++held;
        if (spans.isWritten(c, r))
            take(rec);
    });
    if (held < qint64(cells.width()) * cells.height())
        take(CellTable::defaults());
    return all;
}

void GridEditor::updateSpans()
{
    SpanLayout layout;
    layout.compute(m_doc.model(), Grid->Rows() - 1, Grid->Cols() - 1);
    Grid->setSpanLayout(layout);
    m_laidOutFor = QSize(Grid->Cols(), Grid->Rows());
}

void GridEditor::addCommandsTo(QMenu *menu)
{
    auto item = [this](QMenu *in, const char *name, const QString &text, auto slot) {
        QAction *a = in->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto submenu = [menu](const char *name, const QString &text) {
        QMenu *sub = menu->addMenu(text);
        sub->setObjectName(QLatin1String(name));
        return sub;
    };
    menu->addSeparator()->setObjectName(QStringLiteral("SepMerge"));
    QAction *merge = item(menu, "mnuMerge", tr("セルを結合(&J)"), &GridEditor::mergeSelection);
    QAction *unmerge = item(menu, "mnuUnmerge", tr("結合を解除(&U)"), &GridEditor::unmergeSelection);
    menu->addSeparator()->setObjectName(QStringLiteral("SepLines"));
    QMenu *rows = submenu("mnuInsertRow", tr("行を挿入(&I)"));
    item(rows, "mnuInsertRowAbove", tr("上に挿入(&A)"), [this] { insertRows(false); });
    item(rows, "mnuInsertRowBelow", tr("下に挿入(&B)"), [this] { insertRows(true); });
    QMenu *cols = submenu("mnuInsertCol", tr("列を挿入(&L)"));
    item(cols, "mnuInsertColLeft", tr("左に挿入(&L)"), [this] { insertCols(false); });
    item(cols, "mnuInsertColRight", tr("右に挿入(&R)"), [this] { insertCols(true); });
    item(menu, "mnuDeleteRow", tr("行を削除"), &GridEditor::deleteRows);
    item(menu, "mnuDeleteCol", tr("列を削除"), &GridEditor::deleteCols);
    menu->addSeparator()->setObjectName(QStringLiteral("SepSort"));
    QMenu *sort = submenu("mnuSort", tr("並べ替え(&O)"));
    using tableedits::SortKey;
    item(sort, "mnuSortAscending", tr("昇順 - 文字列(&A)"), [this] { sortRows(false, SortKey::Text); });
    item(sort, "mnuSortDescending", tr("降順 - 文字列(&D)"), [this] { sortRows(true, SortKey::Text); });
    item(sort, "mnuSortAscendingNumber", tr("昇順 - 数値(&N)"), [this] { sortRows(false, SortKey::Number); });
    item(sort, "mnuSortDescendingNumber", tr("降順 - 数値(&U)"), [this] { sortRows(true, SortKey::Number); });
    // The data tools take their keys only while the grid itself has the
    // focus: its in-place box and every other text box keep their own.
    auto keyed = [this](QAction *a, QKeySequence key) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        Grid->addAction(a);
    };
    sort->addSeparator()->setObjectName(QStringLiteral("SepSortDialog"));
    keyed(item(sort, "mnuSortDialog", tr("詳細(&S)..."), &GridEditor::showSortDialog),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    QMenu *align = submenu("mnuColumnAlign", tr("列の配置(&G)"));
    item(align, "mnuColumnAlignLeft", tr("左揃え(&L)"), [this] { alignColumns(0); });
    item(align, "mnuColumnAlignCenter", tr("中央揃え(&C)"), [this] { alignColumns(1); });
    item(align, "mnuColumnAlignRight", tr("右揃え(&R)"), [this] { alignColumns(2); });
    menu->addSeparator()->setObjectName(QStringLiteral("SepData"));
    keyed(item(menu, "mnuFillDown", tr("下方向へコピー(&D)"), [this] { fillSelection(true); }),
          QKeySequence(Qt::CTRL | Qt::Key_D));
    keyed(item(menu, "mnuFillRight", tr("右方向へコピー(&R)"), [this] { fillSelection(false); }),
          QKeySequence(Qt::CTRL | Qt::Key_R));
    QMenu *series = submenu("mnuSeries", tr("連続データ(&S)"));
    keyed(item(series, "mnuSeriesDown", tr("下方向(&D)"), [this] { fillSelectionSeries(true); }),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    keyed(item(series, "mnuSeriesRight", tr("右方向(&R)"), [this] { fillSelectionSeries(false); }),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    keyed(item(menu, "mnuTranspose", tr("行と列の入れ替え(&W)"), &GridEditor::transposeTable),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    keyed(item(menu, "mnuRowNumbers", tr("行番号の列を挿入(&N)"), &GridEditor::insertRowNumbers),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    connect(menu, &QMenu::aboutToShow, this, [this, merge, unmerge] {
        const QRect cells = Grid->selectedCells();
        merge->setEnabled(cells.width() * cells.height() > 1);
        bool spanned = false;
        for (const QRect &a : Grid->spanLayout().spans())
            spanned = spanned || cells.intersects(a);
        unmerge->setEnabled(spanned);
    });
}

void GridEditor::tell(const QString &text)
{
    showFileMessage(Grid->window(), text, MessageKind::Notice);
}

void GridEditor::clearSelectedText()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1)
        return;
    {
        GridWidget::BulkUpdate bulk(Grid);
        StepScope step(m_doc, tr("内容の消去"));
        // Only what the grid shows: a cell a span covers keeps its text.
        const SpanLayout &spans = Grid->spanLayout();
        QVector<QPoint> filled;
        m_doc.model().Cells.forEachHeld(cells, [&](int c, int r, const CellRecord &rec) {
            if (!rec.Text.isEmpty() && spans.isWritten(c, r))
                filled.append(QPoint(c, r));
        });
        m_doc.editModel(tr("内容の消去"), [&](TableModel &m) {
            for (const QPoint p : std::as_const(filled))
                m.Cells(p.x(), p.y()).Text.clear();
        });
    }
}

void GridEditor::mergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1 || cells.size() == QSize(1, 1))
        return;
    // Text in the cells the merge hides would silently leave the output: ask
    // whether it joins the first cell's.
    const SpanLayout &spans = Grid->spanLayout();
    QStringList texts;
    QVector<QPoint> filled;
    bool hides = false;
    m_doc.model().Cells.forEachHeld(cells, [&](int c, int r, const CellRecord &rec) {
        if (!spans.isWritten(c, r) || rec.Text.isEmpty())
            return;
        texts.append(rec.Text);
        filled.append(QPoint(c, r));
        hides = hides || QPoint(c, r) != cells.topLeft();
    });
    bool join = false;
    if (hides) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvan"),
                        tr("結合すると、先頭以外のセルの文字列は表示されなくなります。"
                           "それらの文字列を先頭のセルに移しますか？"),
                        QMessageBox::NoButton, Grid->window());
        box.setObjectName(QStringLiteral("msgMergeText"));
        QPushButton *move = box.addButton(tr("先頭のセルに移す(&M)"), QMessageBox::YesRole);
        QPushButton *keep = box.addButton(tr("隠したままにする(&K)"), QMessageBox::NoRole);
        QPushButton *cancel = box.addButton(tr("キャンセル"), QMessageBox::RejectRole);
        move->setObjectName(QStringLiteral("move"));
        keep->setObjectName(QStringLiteral("keep"));
        cancel->setObjectName(QStringLiteral("cancel"));
        box.setDefaultButton(move);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != move && box.clickedButton() != keep)
            return;
        join = box.clickedButton() == move;
    }
    m_doc.editModel(tr("セルの結合"), [&](TableModel &m) {
        if (join) {
            for (const QPoint p : std::as_const(filled))
                m.Cells(p.x(), p.y()).Text.clear();
            m.Cells(cells.left(), cells.top()).Text = texts.join(QStringLiteral("<BR>"));
        }
        tableedits::mergeCells(m, cells);
    });
    showCurrent(cells.topLeft());
}

void GridEditor::unmergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1)
        return;
    m_doc.editModel(tr("結合の解除"), [cells](TableModel &m) { tableedits::unmergeCells(m, cells); });
    showCurrent(QPoint(Grid->Col(), Grid->Row()));
    Grid->selectCells(cells);
}

void GridEditor::insertRows(bool after)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.top() < 1)
        return;
    const int count = cells.height();
    if (m_doc.model().TableRows + count > TableLimits::MaxRows) {
        tell(tr("行を挿入できません。表の行は %1 までです。").arg(TableLimits::MaxRows));
        return;
    }
    const int before = after ? cells.bottom() + 1 : cells.top();
    // The current cell keeps its content.
    const QPoint current(Grid->Col(), after ? Grid->Row() : Grid->Row() + count);
    m_doc.editModel(tr("行の挿入"), [&](TableModel &m) { tableedits::insertRows(m, before, count); });
    showCurrent(current);
}

void GridEditor::insertCols(bool after)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1)
        return;
    const int count = cells.width();
    if (m_doc.model().TableCols + count > TableLimits::MaxCols) {
        tell(tr("列を挿入できません。表の列は %1 までです。").arg(TableLimits::MaxCols));
        return;
    }
    const int before = after ? cells.right() + 1 : cells.left();
    const QPoint current(after ? Grid->Col() : Grid->Col() + count, Grid->Row());
    m_doc.editModel(tr("列の挿入"), [&](TableModel &m) { tableedits::insertCols(m, before, count); });
    showCurrent(current);
}

void GridEditor::deleteRows()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.top() < 1)
        return;
    if (cells.height() >= m_doc.model().TableRows) {
        tell(tr("すべての行を削除することはできません。表には 1 行以上が必要です。"));
        return;
    }
    const QPoint current(Grid->Col(), cells.top());
    m_doc.editModel(tr("行の削除"), [&](TableModel &m) { tableedits::deleteRows(m, cells.top(), cells.height()); });
    showCurrent(current);
}

void GridEditor::deleteCols()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1)
        return;
    if (cells.width() >= m_doc.model().TableCols) {
        tell(tr("すべての列を削除することはできません。表には 1 列以上が必要です。"));
        return;
    }
    const QPoint current(cells.left(), Grid->Row());
    m_doc.editModel(tr("列の削除"), [&](TableModel &m) { tableedits::deleteCols(m, cells.left(), cells.width()); });
    showCurrent(current);
}

void GridEditor::alignColumns(int hAlign)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || hAlign < 0 || hAlign > 2)
        return;
    const TableModel &m = m_doc.model();
    const QRect columns(cells.left(), 1, cells.width(), qBound(1, int(m.TableRows), TableLimits::MaxRows));
    const SpanLayout &spans = Grid->spanLayout();
    // Header cells keep theirs, as the pane's sliders leave them; a cell under
    // a span shows nothing to align.
    const auto changes = [&](int c, int r, const CellRecord &rec) {
        return rec.Header != -1 && rec.HAlign != hAlign && spans.isWritten(c, r);
    };
    QVector<QPoint> changing;
    if (hAlign == CellTable::defaults().HAlign) {
        m.Cells.forEachHeld(columns, [&](int c, int r, const CellRecord &rec) {
            if (changes(c, r, rec))
                changing.append(QPoint(c, r));
        });
    } else {
        // Every cell then holds a record of its own: a column of the largest
        // table at most, or the command would take the memory of many.
        if (qint64(columns.width()) * columns.height() > TableLimits::MaxRows) {
            tell(tr("一度に配置を変えられるのは %1 個のセルまでです。列を減らして選んでください。")
                         .arg(TableLimits::MaxRows));
            return;
        }
        for (int r = columns.top(); r <= columns.bottom(); ++r)
            for (int c = columns.left(); c <= columns.right(); ++c)
                if (changes(c, r, m.Cells(c, r)))
                    changing.append(QPoint(c, r));
    }
    if (changing.isEmpty())
        return;
    try {
        m_doc.editModel(tr("列の配置"), [&](TableModel &t) {
            for (const QPoint p : std::as_const(changing))
                t.Cells(p.x(), p.y()).HAlign = qint16(hAlign);
        });
    } catch (const std::bad_alloc &) {
        tell(tr("メモリが足りないため、列の配置を変えられませんでした。"));
        return;
    }
    // The pane shows the current cell's alignment as it is now.
    Grid_Click();
}

bool GridEditor::gridAtTableSize() const
{
    const TableModel &m = m_doc.model();
    return Grid->Rows() - 1 == qBound(1, int(m.TableRows), TableLimits::MaxRows)
            && Grid->Cols() - 1 == qBound(1, int(m.TableCols), TableLimits::MaxCols);
}

// The grid at the table's size again, every cell shown afresh.
void GridEditor::followTableSize()
{
    const TableModel &m = m_doc.model();
    emit tableResized();
    const int hadRows = Grid->Rows();
    Grid->setRows(qBound(1, int(m.TableRows), TableLimits::MaxRows) + 1);
    Grid->setCols(qBound(1, int(m.TableCols), TableLimits::MaxCols) + 1);
    RowHeightCol.resize(Grid->Rows() + 1);
    updateSpans();
    showLineSizes();
    // Rows the grid gained are fitted; the others are as they were.
    refreshRows(hadRows, Grid->Rows() - 1);
    showCurrent(QPoint(Grid->Col(), Grid->Row()));
}

// The cell (or the one whose span covers it, or the nearest) current and
// shown in the pane.
void GridEditor::showCurrent(QPoint cell)
{
    const QPoint owner = Grid->spanLayout().owner(qBound(1, cell.x(), Grid->Cols() - 1),
                                                   qBound(1, cell.y(), Grid->Rows() - 1));
    Grid->setCol(owner.x());
    Grid->setRow(owner.y());
    Grid->selectCells(QRect(owner, QSize(1, 1)));
    Grid->setFixedCellsButtonFace();
    Grid_Click();
}
