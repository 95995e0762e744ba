// The undo steps of a table document: how writes become one step, and how a
// step is applied both ways.
#include "document/table_document_p.h"

QString TableDocument::stepName(CellField field)
{
    switch (field) {
    case CellField::Text: return tr("セルの内容");
    case CellField::Header: return tr("見出し");
    case CellField::HeightOn: case CellField::Height: case CellField::HeightPercent: return tr("セルの高さ");
    case CellField::WidthOn: case CellField::Width: case CellField::WidthPercent: return tr("セルの幅");
    case CellField::RowSpanOn: case CellField::RowSpan: return tr("行の結合");
    case CellField::ColSpanOn: case CellField::ColSpan: return tr("列の結合");
    case CellField::VAlign: return tr("縦の配置");
    case CellField::HAlign: return tr("横の配置");
    case CellField::BackColor: case CellField::BackColorNothing: return tr("セルの背景色");
    case CellField::Class: return tr("セルのクラス");
    case CellField::Style: return tr("セルのスタイル");
    case CellField::Scope: return tr("見出しの範囲");
    }
    return QString();
}

QString TableDocument::stepName(TableField field)
{
    switch (field) {
    case TableField::Rows: case TableField::Cols: return tr("表の大きさ");
    case TableField::Title: return tr("表のタイトル");
    case TableField::Border: return tr("線の太さ");
    case TableField::BackColor: case TableField::BackColorNothing: return tr("表の背景色");
    case TableField::NetscapeMode: return tr("Netscape 互換");
    case TableField::OutputProfile: return tr("出力の形式");
    case TableField::WidthUnit: case TableField::Width: return tr("表の幅");
    case TableField::Style: return tr("スタイルの出力");
    case TableField::Id: return tr("表の ID");
    case TableField::Class: return tr("表のクラス");
    case TableField::FooterRows: return tr("フッター行");
    case TableField::Preset: return tr("表のプリセット");
    case TableField::CssPlace: return tr("CSS の出力先");
    case TableField::Responsive: return tr("レスポンシブ");
    case TableField::FileName: break;
    }
    return QString();
}

void TableDocument::beginStep(const QString &text)
{
    if (m_depth++ == 0) {
        m_rec = new Recording{text, {}, {}, false, {}};
        m_pendingMergeKey = MergeKey();
    }
}

void TableDocument::beginFieldStep(const QString &text, const MergeKey &key)
{
    const bool outermost = m_depth == 0;
    beginStep(text);
    if (outermost)
        m_pendingMergeKey = key;
}

void TableDocument::endStep()
{
    Q_ASSERT(m_depth > 0);
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_journal->flush();
    Recording *rec = m_rec;
    m_rec = nullptr;
    StepData data;
    data.actions = std::move(rec->actions);
    data.before = rec->tableTouched ? rec->table : TableSettings::of(m_model);
    data.after = TableSettings::of(m_model);
    const QString text = rec->text;
    delete rec;
    data.settle();
    if (data.isEmpty())
        return;
    const MergeKey key = m_pendingMergeKey;
    m_undo.push(new TableStep(this, std::move(data), key, m_gesture, text));
    if (key.kind == 0)
        closeGesture();
}

void TableDocument::closeGesture()
{
    ++m_gesture;
}

void TableDocument::touchTable()
{
    if (m_rec && !m_rec->tableTouched) {
        m_rec->tableTouched = true;
        m_rec->table = TableSettings::of(m_model);
    }
}

void TableDocument::emitLineEdit(const LineEdit &e, bool forward)
{
    // Lines a table within the original size pushes past its line 99 were
    // never in it.
    switch (e.kind) {
    case LineEdit::Insert:
        if (forward)
            emit linesInserted(e.rows, e.at, e.count);
        else
            emit linesRemoved(e.rows, e.at, e.count);
        break;
    case LineEdit::Remove:
        if (forward)
            emit linesRemoved(e.rows, e.at, e.count);
        else
            emit linesInserted(e.rows, e.at, e.count);
        break;
    case LineEdit::Permute:
        emit linesMoved(e.rows, e.at, forward ? e.order : e.inverse);
        break;
    }
}

void TableDocument::apply(const StepData &step, bool forward)
{
    // The step is played straight into the table: nothing to record.
    m_model.Cells.setObserver(nullptr);
    if (forward) {
        for (const StepAction &a : step.actions) {
            if (a.lines)
                m_model.Cells.apply(*a.lines);
            else
                for (const CellChange &c : a.cells)
                    m_model.Cells(c.col, c.row) = c.after;
        }
    } else {
        for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a) {
            if (a->lines)
                m_model.Cells.revert(*a->lines);
            else
                for (const CellChange &c : a->cells)
                    m_model.Cells(c.col, c.row) = c.before;
        }
    }
    m_model.Cells.setObserver(m_journal);
    if (step.tableFields)
        (forward ? step.after : step.before).into(m_model);
    closeGesture();
    if (forward) {
        for (const StepAction &a : step.actions)
            if (a.lines)
                emitLineEdit(*a.lines, true);
    } else {
        for (auto a = step.actions.rbegin(); a != step.actions.rend(); ++a)
            if (a->lines)
                emitLineEdit(*a->lines, false);
    }
    const QRect area = forward ? step.area : step.areaBefore;
    if (step.cellFields && !area.isEmpty())
        emit cellsChanged(area, step.cellFields);
    if (step.tableFields)
        emit tableChanged(step.tableFields);
    emit stepApplied(area);
}
