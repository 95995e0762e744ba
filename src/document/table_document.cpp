#include "document/table_document.h"
#include "document/table_document_p.h"

TableDocument::TableDocument(QObject *parent)
    : QObject(parent)
{
}

TableDocument::~TableDocument()
{
    delete m_rec;
}

// Records enter the document as the cell settings pane would leave them, so
// no view has to write them back. Only the table's cells: the rest is kept
// as the file had it, and taken in when the table grows (within, or all of
// the table when within is empty).
void TableDocument::normaliseCells(TableModel &m, QRect within)
{
    const QRect table(1, 1, qBound(1, int(m.TableCols), TableLimits::MaxCols),
                      qBound(1, int(m.TableRows), TableLimits::MaxRows));
    const QRect area = within.isEmpty() ? table : (within & table);
    for (int c = area.left(); c <= area.right(); ++c)
        for (int r = area.top(); r <= area.bottom(); ++r)
            normalise(m.Cells(c, r));
}

void TableDocument::editModel(const QString &text, const std::function<void(TableModel &)> &fn)
{
    TableModel copy = m_model;
    fn(copy);
    normaliseCells(copy, QRect());
    StepScope step(*this, text);
    QRect area;
    CellFields fields;
    for (int c = 0; c < CellTable::Size; ++c)
        for (int r = 0; r < CellTable::Size; ++r) {
            const CellRecord &after = copy.Cells(c, r);
            CellRecord &now = m_model.Cells(c, r);
            if (after == now)
                continue;
            touchCell(c, r);
            fields |= differingFields(now, after);
            area |= QRect(c, r, 1, 1);
            now = after;
        }
    const TableSettings settings = TableSettings::of(copy);
    const TableFields tableFields = TableSettings::of(m_model).differing(settings);
    if (tableFields) {
        touchTable();
        settings.into(m_model);
    }
    // Cells first: a view that follows the table's size shows them all then.
    if (fields)
        emit cellsChanged(area, fields);
    if (tableFields)
        emit tableChanged(tableFields);
}

void TableDocument::setCellText(int col, int row, const QString &text)
{
    CellRecord &r = m_model.Cells(col, row);
    if (r.Text == text)
        return;
    StepScope step(*this, stepName(CellField::Text));
    touchCell(col, row);
    r.Text = text;
    emit cellsChanged(QRect(col, row, 1, 1), CellField::Text);
}

void TableDocument::setCellField(int col, int row, CellField field, qint32 value)
{
    CellRecord &r = m_model.Cells(col, row);
    const CellRecord before = r;
    // Each field keeps its own width, as the boxes have always stored them.
    const bool changed = assignField(r, field, value);
    if (!changed)
        return;
    // A drag over one field of one cell is one step.
    beginFieldStep(stepName(field), (cellKey(col, row) << 4) | bitIndex(uint(field)));
    if (m_rec && !m_rec->cells.contains(cellKey(col, row)))
        m_rec->cells.insert(cellKey(col, row), before);
    emit cellsChanged(QRect(col, row, 1, 1), field);
    endStep();
}

void TableDocument::setCellsField(QRect cells, CellField field, qint32 value)
{
    cells = cells.normalized() & QRect(0, 0, CellTable::Size, CellTable::Size);
    if (cells.width() <= 1 && cells.height() <= 1) {
        if (!cells.isEmpty())
            setCellField(cells.x(), cells.y(), field, value);
        return;
    }
    // Range keys lie above the table's: the corners and the field.
    const qint64 corners = ((qint64(cells.left()) * CellTable::Size + cells.top()) * CellTable::Size
                            + cells.right()) * CellTable::Size + cells.bottom();
    const int key = int(((CellTable::Size * CellTable::Size + 1 + corners) << 4) | bitIndex(uint(field)));
    QRect changed;
    for (int r = cells.top(); r <= cells.bottom(); ++r)
        for (int c = cells.left(); c <= cells.right(); ++c) {
            CellRecord &rec = m_model.Cells(c, r);
            const CellRecord before = rec;
            const bool differs = assignField(rec, field, value);
            if (!differs)
                continue;
            if (changed.isEmpty())
                beginFieldStep(stepName(field), key);
            if (m_rec && !m_rec->cells.contains(cellKey(c, r)))
                m_rec->cells.insert(cellKey(c, r), before);
            changed |= QRect(c, r, 1, 1);
        }
    if (changed.isEmpty())
        return;
    emit cellsChanged(changed, field);
    endStep();
}

qint32 TableDocument::cellField(int col, int row, CellField field) const
{
    CellRecord r = m_model.Cells(col, row);
    return withField(r, field, [](auto &f) { return qint32(f); });
}

void TableDocument::setTableField(TableField field, qint32 value)
{
    const TableSettings before = TableSettings::of(m_model);
    const bool changed = assignField(m_model, field, value);
    if (!changed)
        return;
    if (field == TableField::Rows || field == TableField::Cols)
        normaliseCells(m_model, QRect());
    recordTableChange(before, field);
}

qint32 TableDocument::tableField(TableField field) const
{
    TableModel &m = const_cast<TableModel &>(m_model);
    return withField(m, field, [](auto &f) { return qint32(f); });
}

void TableDocument::setTitle(const QString &title)
{
    if (m_model.TableTitle == title)
        return;
    const TableSettings before = TableSettings::of(m_model);
    m_model.TableTitle = title;
    recordTableChange(before, TableField::Title);
}

void TableDocument::setTableText(TableField field, const QString &text)
{
    QString &target = field == TableField::Id ? m_model.TableId : m_model.TableClass;
    if (target == text)
        return;
    const TableSettings before = TableSettings::of(m_model);
    target = text;
    recordTableChange(before, field);
}

void TableDocument::setCellsClass(QRect cells, const QString &cls)
{
    cells = cells.normalized() & QRect(0, 0, CellTable::Size, CellTable::Size);
    QRect changed;
    for (int r = cells.top(); r <= cells.bottom(); ++r)
        for (int c = cells.left(); c <= cells.right(); ++c) {
            CellRecord &rec = m_model.Cells(c, r);
            if (rec.Class == cls)
                continue;
            // Typing into the box is one step, as for a number.
            if (changed.isEmpty())
                beginFieldStep(stepName(CellField::Class),
                               (cellKey(cells.left(), cells.top()) << 4) | bitIndex(uint(CellField::Class)));
            touchCell(c, r);
            rec.Class = cls;
            changed |= QRect(c, r, 1, 1);
        }
    if (changed.isEmpty())
        return;
    emit cellsChanged(changed, CellField::Class);
    endStep();
}

void TableDocument::recordTableChange(const TableSettings &before, TableField field)
{
    // Table-wide keys lie above every cell's.
    beginFieldStep(stepName(field), (CellTable::Size * CellTable::Size << 4) | bitIndex(uint(field)));
    if (m_rec && !m_rec->tableTouched) {
        m_rec->tableTouched = true;
        m_rec->table = before;
    }
    emit tableChanged(field);
    endStep();
}

void TableDocument::setSize(int rows, int cols)
{
    StepScope step(*this, stepName(TableField::Rows));
    setTableField(TableField::Rows, rows);
    setTableField(TableField::Cols, cols);
}

void TableDocument::setFileName(const QString &name)
{
    if (m_model.FileName == name)
        return;
    m_model.FileName = name;
    emit tableChanged(TableField::FileName);
}

void TableDocument::replaceModel(const TableModel &model)
{
    m_model = model;
    ::normaliseTableSwitches(m_model.TableBackColorNothing, m_model.NetscapeMode);
    normaliseCells(m_model, QRect());
    m_undo.clear();
    closeGesture();
    emit modelReset();
}
