// The undo steps of a table document: how writes become one step, and how a
// step is applied both ways.
#include "document/table_document_p.h"

QString TableDocument::stepName(CellField field)
{
    switch (field) {
    case CellField::Text: return tr("セルの内容");
    case CellField::Header: return tr("見出し");
    case CellField::HeightOn: case CellField::Height: return tr("セルの高さ");
    case CellField::WidthOn: case CellField::Width: return tr("セルの幅");
    case CellField::RowSpanOn: case CellField::RowSpan: return tr("行の結合");
    case CellField::ColSpanOn: case CellField::ColSpan: return tr("列の結合");
    case CellField::VAlign: return tr("縦の配置");
    case CellField::HAlign: return tr("横の配置");
    case CellField::BackColor: case CellField::BackColorNothing: return tr("セルの背景色");
    case CellField::Class: return tr("セルのクラス");
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
    case TableField::FileName: break;
    }
    return QString();
}

void TableDocument::beginStep(const QString &text)
{
    if (m_depth++ == 0) {
        m_rec = new Recording{text, {}, false, {}};
        m_pendingMergeKey = -1;
    }
}

void TableDocument::beginFieldStep(const QString &text, int mergeKey)
{
    const bool outermost = m_depth == 0;
    beginStep(text);
    if (outermost)
        m_pendingMergeKey = mergeKey;
}

void TableDocument::endStep()
{
    Q_ASSERT(m_depth > 0);
    if (m_depth == 0 || --m_depth > 0)
        return;
    Recording *rec = m_rec;
    m_rec = nullptr;
    StepData data;
    data.cells.reserve(rec->cells.size());
    for (auto it = rec->cells.cbegin(); it != rec->cells.cend(); ++it) {
        const int col = it.key() / CellTable::Size, row = it.key() % CellTable::Size;
        data.cells.append({col, row, it.value(), m_model.Cells(col, row)});
    }
    std::sort(data.cells.begin(), data.cells.end(), [](const CellChange &a, const CellChange &b) {
        return cellKey(a.col, a.row) < cellKey(b.col, b.row);
    });
    data.before = rec->tableTouched ? rec->table : TableSettings::of(m_model);
    data.after = TableSettings::of(m_model);
    const QString text = rec->text;
    delete rec;
    data.settle();
    if (data.isEmpty())
        return;
    m_undo.push(new TableStep(this, std::move(data), m_pendingMergeKey, m_gesture, text));
    if (m_pendingMergeKey < 0)
        closeGesture();
}

void TableDocument::closeGesture()
{
    ++m_gesture;
}

void TableDocument::touchCell(int col, int row)
{
    if (m_rec && CellTable::inRange(col, row))
        m_rec->cells.insert(cellKey(col, row), m_model.Cells(col, row));  // keeps the first
}

void TableDocument::touchTable()
{
    if (m_rec && !m_rec->tableTouched) {
        m_rec->tableTouched = true;
        m_rec->table = TableSettings::of(m_model);
    }
}

void TableDocument::apply(const StepData &step, bool forward)
{
    for (const CellChange &c : step.cells)
        m_model.Cells(c.col, c.row) = forward ? c.after : c.before;
    if (step.tableFields)
        (forward ? step.after : step.before).into(m_model);
    closeGesture();
    if (!step.cells.isEmpty())
        emit cellsChanged(step.area, step.cellFields);
    if (step.tableFields)
        emit tableChanged(step.tableFields);
    emit stepApplied(step.area);
}
