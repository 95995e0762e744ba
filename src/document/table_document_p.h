#pragma once

// The document's undo steps and the field access they share; only the
// document's own sources include this.

#include <QHash>
#include <QUndoCommand>
#include <QVector>

#include <algorithm>
#include <stdexcept>
#include <type_traits>

#include "document/table_document.h"

namespace docsteps {

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
    case CellField::Scope: return fn(r.Scope);
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
    case TableField::FooterRows: return fn(m.FooterRows);
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

inline CellFields differingFields(const CellRecord &a, const CellRecord &b)
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
    if (a.Scope != b.Scope) f |= CellField::Scope;
    return f;
}

struct CellChange {
    int col, row;
    CellRecord before, after;
};

inline int cellKey(int col, int row) { return col * CellTable::Size + row; }

inline int bitIndex(uint flag) { return qCountTrailingZeroBits(flag); }

} // namespace docsteps

using namespace docsteps;

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
    qint32 footerRows = 0;

    static TableSettings of(const TableModel &m)
    {
        return {m.TableRows, m.TableCols, m.TableTitle, m.TableBorder, m.TableBackColor,
                m.TableBackColorNothing, m.NetscapeMode, m.OutputProfile, m.TableWidthUnit,
                m.TableWidth, m.OutputStyle, m.TableId, m.TableClass, m.FooterRows};
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
        m.FooterRows = footerRows;
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
        if (footerRows != o.footerRows) f |= TableField::FooterRows;
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
