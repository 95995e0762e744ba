#include "table_document.h"

#include "html/table_markup.h"

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
    case CellField::Text: break;
    }
    throw std::invalid_argument("CellField::Text is not a number");
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
    case TableField::Title: case TableField::FileName: break;
    }
    throw std::invalid_argument("not a numeric table field");
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
    return f;
}

} // namespace

TableDocument::TableDocument(QObject *parent)
    : QObject(parent)
{
}

void TableDocument::setCellText(int col, int row, const QString &text)
{
    CellRecord &r = m_model.Cells(col, row);
    if (r.Text == text)
        return;
    r.Text = text;
    emit cellsChanged(QRect(col, row, 1, 1), CellField::Text);
}

void TableDocument::setCellField(int col, int row, CellField field, qint32 value)
{
    CellRecord &r = m_model.Cells(col, row);
    // Each field keeps its own width, as the boxes have always stored them.
    const bool changed = withField(r, field, [value](auto &f) {
        using T = std::remove_reference_t<decltype(f)>;
        if (f == T(value))
            return false;
        f = T(value);
        return true;
    });
    if (changed)
        emit cellsChanged(QRect(col, row, 1, 1), field);
}

qint32 TableDocument::cellField(int col, int row, CellField field) const
{
    CellRecord r = m_model.Cells(col, row);
    return withField(r, field, [](auto &f) { return qint32(f); });
}

void TableDocument::normaliseCell(int col, int row)
{
    CellRecord &r = m_model.Cells(col, row);
    const CellRecord before = r;
    normalise(r);
    const CellFields changed = differingFields(before, r);
    if (changed)
        emit cellsChanged(QRect(col, row, 1, 1), changed);
}

void TableDocument::setTableField(TableField field, qint32 value)
{
    const bool changed = withField(m_model, field, [value](auto &f) {
        using T = std::remove_reference_t<decltype(f)>;
        if (f == T(value))
            return false;
        f = T(value);
        return true;
    });
    if (changed)
        emit tableChanged(field);
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
    m_model.TableTitle = title;
    emit tableChanged(TableField::Title);
}

void TableDocument::setSize(int rows, int cols)
{
    setTableField(TableField::Rows, rows);
    setTableField(TableField::Cols, cols);
}

void TableDocument::normaliseTableSwitches()
{
    const qint16 back = m_model.TableBackColorNothing;
    const qint16 net = m_model.NetscapeMode;
    ::normaliseTableSwitches(m_model.TableBackColorNothing, m_model.NetscapeMode);
    TableFields changed;
    if (back != m_model.TableBackColorNothing)
        changed |= TableField::BackColorNothing;
    if (net != m_model.NetscapeMode)
        changed |= TableField::NetscapeMode;
    if (changed)
        emit tableChanged(changed);
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
    emit modelReset();
}

QString TableDocument::generateMarkup(const MarkupInputs &in,
                                      const std::function<void(int, int)> &visitCell)
{
    QRect visited;
    const QString text = buildTableMarkup(m_model, in, [&](int c, int r) {
        visited |= QRect(c, r, 1, 1);
        if (visitCell)
            visitCell(c, r);
    });
    if (!visited.isEmpty())
        emit cellsChanged(visited, CellField::RowSpan | CellField::ColSpan);
    return text;
}
