#include "document/table_document.h"
#include "document/table_document_p.h"

TableDocument::TableDocument(QObject *parent)
    : QObject(parent), m_journal(new Journal(*this))
{
    m_model.Cells.setObserver(m_journal);
}

TableDocument::~TableDocument()
{
    m_model.Cells.setObserver(nullptr);
    delete m_rec;
    delete m_journal;
}

// Records enter the document as the cell settings pane would leave them, so
// no view has to write them back. Only the table's cells: the rest is kept as
// the file had it, and taken in when the table grows. Only held records can
// need it; the others are at the defaults.
void TableDocument::normaliseEntered(int oldRows, int oldCols)
{
    const QRect table = m_model.tableCells();
    QVector<QRect> entered;
    if (oldRows < 0)
        entered.append(table);
    else {
        if (table.bottom() > oldRows)
            entered.append(QRect(1, oldRows + 1, table.width(), table.bottom() - oldRows));
        if (table.right() > oldCols)
            entered.append(QRect(oldCols + 1, 1, table.right() - oldCols, std::min(oldRows, table.bottom())));
    }
    const CellRecord zero = CellRecord::zero();
    for (const QRect &area : std::as_const(entered)) {
        QVector<QPoint> odd;
        const int zeroLine = TableLimits::ClassicLines + 1;
        std::as_const(m_model.Cells).forEachHeld(area, [&](int c, int r, const CellRecord &rec) {
            if (!isNormalised(rec) || ((c == zeroLine || r == zeroLine) && rec == zero))
                odd.append(QPoint(c, r));
        });
        for (const QPoint p : std::as_const(odd)) {
            CellRecord &rec = m_model.Cells(p.x(), p.y());
            // Past the original largest table a file holds all-zero records.
            if (rec == zero && (p.x() == TableLimits::ClassicLines + 1 || p.y() == TableLimits::ClassicLines + 1))
                rec = CellRecord();
            normalise(rec);
        }
    }
}

void TableDocument::editModel(const QString &text, const std::function<void(TableModel &)> &fn)
{
    StepScope step(*this, text);
    const TableSettings start = TableSettings::of(m_model);
    const std::size_t firstAction = m_rec->actions.size();
    m_journal->touched = QRect();
    fn(m_model);
    // Lines the edit moved, and where the table's size went beyond them.
    int rows = start.rows, cols = start.cols;
    for (std::size_t i = firstAction; i < m_rec->actions.size(); ++i)
        if (const LineEdit *e = m_rec->actions[i].lines.get()) {
            if (e->kind == LineEdit::Insert)
                (e->rows ? rows : cols) += e->count;
            else if (e->kind == LineEdit::Remove)
                (e->rows ? rows : cols) -= e->count;
        }
    normaliseEntered(rows, cols);
    // The records fn wrote read as the panes write them too. They are taken
    // row by row, as the table holds them (a million records in the hash's
    // order cost seconds of look-ups), and mended in place: the step keeps
    // them as they end.
    if (m_journal->flush()) {
        const QRect table = m_model.tableCells();
        m_model.Cells.setObserver(nullptr);
        for (CellChange &c : m_rec->actions.back().cells) {
            if (table.contains(c.col, c.row) && !isNormalised(c.after)) {
                CellRecord &rec = m_model.Cells(c.col, c.row);
                normalise(rec);
                c.after = rec;
            }
        }
        m_model.Cells.setObserver(m_journal);
    }
    CellFields fields;
    for (std::size_t i = firstAction; i < m_rec->actions.size(); ++i)
        for (const CellChange &c : std::as_const(m_rec->actions[i].cells))
            fields |= differingFields(c.before, c.after);
    const QRect area = m_journal->touched;
    const TableSettings settings = TableSettings::of(m_model);
    const TableFields tableFields = start.differing(settings);
    if (tableFields && !m_rec->tableTouched) {
        m_rec->tableTouched = true;
        m_rec->table = start;
    }
    // What the views must know: the lines first, then the cells, then the size.
    std::vector<std::shared_ptr<LineEdit>> edits;
    for (std::size_t i = firstAction; i < m_rec->actions.size(); ++i)
        if (m_rec->actions[i].lines)
            edits.push_back(m_rec->actions[i].lines);
    for (const auto &e : edits)
        emitLineEdit(*e, true);
    if (!area.isEmpty() && fields)
        emit cellsChanged(area, fields);
    if (tableFields)
        emit tableChanged(tableFields);
}

void TableDocument::setCellText(int col, int row, const QString &text)
{
    if (std::as_const(m_model).Cells(col, row).Text == text)
        return;
    StepScope step(*this, stepName(CellField::Text));
    m_model.Cells(col, row).Text = text;
    emit cellsChanged(QRect(col, row, 1, 1), CellField::Text);
}

void TableDocument::setCellField(int col, int row, CellField field, qint32 value)
{
    CellRecord probe = std::as_const(m_model).Cells(col, row);
    // Each field keeps its own width, as the boxes have always stored them.
    if (!assignField(probe, field, value))
        return;
    // A drag over one field of one cell is one step.
    beginFieldStep(stepName(field), MergeKey{1, QRect(col, row, 1, 1), uint(field)});
    assignField(m_model.Cells(col, row), field, value);
    emit cellsChanged(QRect(col, row, 1, 1), field);
    endStep();
}

void TableDocument::setCellsField(QRect cells, CellField field, qint32 value)
{
    cells = cells.normalized() & QRect(0, 0, CellTable::MaxCol + 1, CellTable::MaxRow + 1);
    if (cells.width() <= 1 && cells.height() <= 1) {
        if (!cells.isEmpty())
            setCellField(cells.x(), cells.y(), field, value);
        return;
    }
    // Only the cells that change are written: a cell at the defaults that
    // already holds the value stays unheld.
    const bool defaultsChange = [&] {
        CellRecord d;
        return assignField(d, field, value);
    }();
    QVector<QPoint> changing;
    QRect changed;
    if (defaultsChange) {
        // Every cell of the range not already holding the value.
        for (int r = cells.top(); r <= cells.bottom(); ++r)
            for (int c = cells.left(); c <= cells.right(); ++c) {
                CellRecord probe = std::as_const(m_model).Cells(c, r);
                if (assignField(probe, field, value))
                    changing.append(QPoint(c, r));
            }
    } else {
        std::as_const(m_model.Cells).forEachHeld(cells, [&](int c, int r, const CellRecord &rec) {
            CellRecord probe = rec;
            if (assignField(probe, field, value))
                changing.append(QPoint(c, r));
        });
    }
    if (changing.isEmpty())
        return;
    beginFieldStep(stepName(field), MergeKey{2, cells, uint(field)});
    for (const QPoint p : std::as_const(changing)) {
        assignField(m_model.Cells(p.x(), p.y()), field, value);
        changed |= QRect(p, QSize(1, 1));
    }
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
    if (field == TableField::Rows || field == TableField::Cols) {
        beginFieldStep(stepName(field), MergeKey{3, QRect(), uint(field)});
        if (!m_rec->tableTouched) {
            m_rec->tableTouched = true;
            m_rec->table = before;
        }
        normaliseEntered(before.rows, before.cols);
        emit tableChanged(field);
        endStep();
        return;
    }
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
    setCellsString(cells, CellField::Class, cls);
}

void TableDocument::setCellsStyle(QRect cells, const QString &style)
{
    setCellsString(cells, CellField::Style, style);
}

void TableDocument::setCellsString(QRect cells, CellField field, const QString &text)
{
    const bool style = field == CellField::Style;
    auto value = [style](const CellRecord &r) -> const QString & { return style ? r.Style : r.Class; };
    cells = cells.normalized() & QRect(0, 0, CellTable::MaxCol + 1, CellTable::MaxRow + 1);
    QVector<QPoint> changing;
    if (!text.isEmpty()) {
        for (int r = cells.top(); r <= cells.bottom(); ++r)
            for (int c = cells.left(); c <= cells.right(); ++c)
                if (value(std::as_const(m_model).Cells(c, r)) != text)
                    changing.append(QPoint(c, r));
    } else {
        std::as_const(m_model.Cells).forEachHeld(cells, [&](int c, int r, const CellRecord &rec) {
            if (value(rec) != text)
                changing.append(QPoint(c, r));
        });
    }
    if (changing.isEmpty())
        return;
    // Typing into the box is one step, as for a number.
    beginFieldStep(stepName(field), MergeKey{2, cells, uint(field)});
    QRect changed;
    for (const QPoint p : std::as_const(changing)) {
        CellRecord &rec = m_model.Cells(p.x(), p.y());
        (style ? rec.Style : rec.Class) = text;
        changed |= QRect(p, QSize(1, 1));
    }
    emit cellsChanged(changed, field);
    endStep();
}

void TableDocument::recordTableChange(const TableSettings &before, TableField field)
{
    beginFieldStep(stepName(field), MergeKey{3, QRect(), uint(field)});
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
    replaceModel(TableModel(model));
}

void TableDocument::replaceModel(TableModel &&model)
{
    m_model.Cells.setObserver(nullptr);
    m_model = std::move(model);
    ::normaliseTableSwitches(m_model.TableBackColorNothing, m_model.NetscapeMode);
    normaliseEntered(-1, -1);
    m_model.Cells.setObserver(m_journal);
    m_undo.clear();
    closeGesture();
    emit modelReset();
}
