#include "document/table_document.h"

#include <QHash>
#include <QVector>

#include <stdexcept>
#include <type_traits>

namespace {

// The record's field behind a CellField; Text has none.
template<typename Fn>
auto withField(CellRecord &r, CellField f, Fn fn)
{
    switch (f) {
    case CellField::Header: return fn(r.Header);
    case CellField::HeightOn: return fn(r.HeightOn);
    case CellField::Height: return fn(r.Height);
    case CellField::WidthOn: return fn(r.WidthOn);
    case CellField::Width: return fn(r.Width);
    case CellField::RowSpanOn: return fn(r.RowSpanOn);
    case CellField::RowSpan: return fn(r.RowSpan);
    case CellField::ColSpanOn: return fn(r.ColSpanOn);
    case CellField::ColSpan: return fn(r.ColSpan);
    case CellField::VAlign: return fn(r.VAlign);
    case CellField::HAlign: return fn(r.HAlign);
    case CellField::BackColor: return fn(r.BackColor);
    case CellField::BackColorNothing: return fn(r.BackColorNothing);
    case CellField::Text: case CellField::Class: break;
    }
    throw std::invalid_argument("not a numeric cell field");
}

template<typename Fn>
auto withField(TableModel &m, TableField f, Fn fn)
{
    switch (f) {
    case TableField::Rows: return fn(m.TableRows);
    case TableField::Cols: return fn(m.TableCols);
    case TableField::Border: return fn(m.TableBorder);
    case TableField::BackColor: return fn(m.TableBackColor);
    case TableField::BackColorNothing: return fn(m.TableBackColorNothing);
    case TableField::NetscapeMode: return fn(m.NetscapeMode);
    case TableField::OutputProfile: return fn(m.OutputProfile);
    case TableField::WidthUnit: return fn(m.TableWidthUnit);
    case TableField::Width: return fn(m.TableWidth);
    case TableField::Style: return fn(m.OutputStyle);
    case TableField::Title: case TableField::FileName: case TableField::Id: case TableField::Class: break;
    }
    throw std::invalid_argument("not a numeric table field");
}

// Writes value into the field at the field's own width; false when the field
// held it already.
template<typename Owner, typename Field>
bool assignField(Owner &owner, Field field, qint32 value)
{
    return withField(owner, field, [value](auto &f) {
        using T = std::remove_reference_t<decltype(f)>;
        if (f == T(value))
            return false;
        f = T(value);
        return true;
    });
}

CellFields differingFields(const CellRecord &a, const CellRecord &b)
{
    CellFields f;
    if (a.Text != b.Text) f |= CellField::Text;
    if (a.Header != b.Header) f |= CellField::Header;
    if (a.HeightOn != b.HeightOn) f |= CellField::HeightOn;
    if (a.Height != b.Height) f |= CellField::Height;
    if (a.WidthOn != b.WidthOn) f |= CellField::WidthOn;
    if (a.Width != b.Width) f |= CellField::Width;
    if (a.RowSpanOn != b.RowSpanOn) f |= CellField::RowSpanOn;
    if (a.RowSpan != b.RowSpan) f |= CellField::RowSpan;
    if (a.ColSpanOn != b.ColSpanOn) f |= CellField::ColSpanOn;
    if (a.ColSpan != b.ColSpan) f |= CellField::ColSpan;
    if (a.VAlign != b.VAlign) f |= CellField::VAlign;
    if (a.HAlign != b.HAlign) f |= CellField::HAlign;
    if (a.BackColor != b.BackColor) f |= CellField::BackColor;
    if (a.BackColorNothing != b.BackColorNothing) f |= CellField::BackColorNothing;
    if (a.Class != b.Class) f |= CellField::Class;
    return f;
}

struct CellChange {
    int col, row;
    CellRecord before, after;
};

int cellKey(int col, int row) { return col * CellTable::Size + row; }

int bitIndex(uint flag) { return qCountTrailingZeroBits(flag); }

} // namespace

// The table-wide settings, without the cells and the file name.
struct TableSettings {
    qint32 rows = 0, cols = 0;
    QString title;
    qint16 border = 0;
    qint32 back = 0;
    qint16 backNothing = 0, netscape = 0;
    MarkupProfile profile = MarkupProfile::Html4;
    WidthUnit unit = WidthUnit::None;
    qint32 width = 0;
    PresentationStyle style = PresentationStyle::Inline;
    QString id, cls;

    static TableSettings of(const TableModel &m)
    {
        return {m.TableRows, m.TableCols, m.TableTitle, m.TableBorder, m.TableBackColor,
                m.TableBackColorNothing, m.NetscapeMode, m.OutputProfile, m.TableWidthUnit,
                m.TableWidth, m.OutputStyle, m.TableId, m.TableClass};
    }
    void into(TableModel &m) const
    {
        m.TableRows = rows;
        m.TableCols = cols;
        m.TableTitle = title;
        m.TableBorder = border;
        m.TableBackColor = back;
        m.TableBackColorNothing = backNothing;
        m.NetscapeMode = netscape;
        m.OutputProfile = profile;
        m.TableWidthUnit = unit;
        m.TableWidth = width;
        m.OutputStyle = style;
        m.TableId = id;
        m.TableClass = cls;
    }
    TableFields differing(const TableSettings &o) const
    {
        TableFields f;
        if (rows != o.rows) f |= TableField::Rows;
        if (cols != o.cols) f |= TableField::Cols;
        if (title != o.title) f |= TableField::Title;
        if (border != o.border) f |= TableField::Border;
        if (back != o.back) f |= TableField::BackColor;
        if (backNothing != o.backNothing) f |= TableField::BackColorNothing;
        if (netscape != o.netscape) f |= TableField::NetscapeMode;
        if (profile != o.profile) f |= TableField::OutputProfile;
        if (unit != o.unit) f |= TableField::WidthUnit;
        if (width != o.width) f |= TableField::Width;
        if (style != o.style) f |= TableField::Style;
        if (id != o.id) f |= TableField::Id;
        if (cls != o.cls) f |= TableField::Class;
        return f;
    }
};

struct TableDocument::StepData {
    QVector<CellChange> cells;
    QRect area;
    CellFields cellFields;
    TableSettings before, after;
    TableFields tableFields;

    bool isEmpty() const { return cells.isEmpty() && !tableFields; }
    // Drops what came back to where it was, and sums up what is left.
    void settle()
    {
        cells.erase(std::remove_if(cells.begin(), cells.end(),
                                   [](const CellChange &c) { return c.before == c.after; }),
                    cells.end());
        area = QRect();
        cellFields = {};
        for (const CellChange &c : std::as_const(cells)) {
            area |= QRect(c.col, c.row, 1, 1);
            cellFields |= differingFields(c.before, c.after);
        }
        tableFields = before.differing(after);
    }
};

struct TableDocument::Recording {
    QString text;
    QHash<int, CellRecord> cells;  // the records before the step, by cellKey
    bool tableTouched = false;
    TableSettings table;
};

// One step on the undo stack. It is done when pushed; redo() runs it again
// only after an undo.
class TableStep : public QUndoCommand
{
public:
    TableStep(TableDocument *doc, TableDocument::StepData data, int mergeKey, int gesture,
              const QString &text)
        : QUndoCommand(text), m_doc(doc), m_data(std::move(data)), m_mergeKey(mergeKey),
          m_gesture(gesture)
    {
    }

    void redo() override
    {
        if (m_done)
            m_doc->apply(m_data, true);
        m_done = true;
    }
    void undo() override { m_doc->apply(m_data, false); }
    int id() const override { return m_mergeKey < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *o = static_cast<const TableStep *>(other);
        if (o->m_mergeKey != m_mergeKey || o->m_gesture != m_gesture)
            return false;
        for (const CellChange &c : o->m_data.cells) {
            auto it = std::find_if(m_data.cells.begin(), m_data.cells.end(), [&](const CellChange &m) {
                return m.col == c.col && m.row == c.row;
            });
            if (it != m_data.cells.end())
                it->after = c.after;
            else
                m_data.cells.append(c);
        }
        if (o->m_data.tableFields) {
            if (!m_data.tableFields)
                m_data.before = o->m_data.before;
            m_data.after = o->m_data.after;
        }
        m_data.settle();
        setObsolete(m_data.isEmpty());  // a drag that ended where it began
        return true;
    }

private:
    TableDocument *m_doc;
    TableDocument::StepData m_data;
    int m_mergeKey;
    int m_gesture;
    bool m_done = false;
};

TableDocument::TableDocument(QObject *parent)
    : QObject(parent)
{
}

TableDocument::~TableDocument()
{
    delete m_rec;
}

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
    case TableField::FileName: break;
    }
    return QString();
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
