#include "core/model/table_model.h"

#include <stdexcept>
#include <string>

QString newTableName()
{
    return QStringLiteral("新規テーブル");
}

CellRecord CellRecord::zero()
{
    CellRecord r;
    r.Header = r.HeightOn = r.WidthOn = r.RowSpanOn = r.ColSpanOn = 0;
    r.Height = r.Width = r.RowSpan = r.ColSpan = 0;
    r.VAlign = r.HAlign = 0;
    r.BackColor = 0;
    r.BackColorNothing = 0;
    return r;
}

bool CellRecord::operator==(const CellRecord &o) const
{
    return Text == o.Text && Header == o.Header && HeightOn == o.HeightOn && Height == o.Height
            && WidthOn == o.WidthOn && Width == o.Width && RowSpanOn == o.RowSpanOn
            && RowSpan == o.RowSpan && ColSpanOn == o.ColSpanOn && ColSpan == o.ColSpan
            && VAlign == o.VAlign && HAlign == o.HAlign && BackColor == o.BackColor
            && BackColorNothing == o.BackColorNothing && Class == o.Class && Scope == o.Scope;
}

namespace {

qint16 checkValue(qint16 v)
{
    return v != 0 ? 1 : 0;
}

} // namespace

void normalise(CellRecord &rec)
{
    rec.HeightOn = checkValue(rec.HeightOn);
    rec.WidthOn = checkValue(rec.WidthOn);
    rec.RowSpanOn = checkValue(rec.RowSpanOn);
    rec.ColSpanOn = checkValue(rec.ColSpanOn);
    rec.VAlign = qint16(qBound(0, int(rec.VAlign), 2));
    rec.HAlign = qint16(qBound(0, int(rec.HAlign), 2));
    rec.BackColorNothing = checkValue(rec.BackColorNothing);
    rec.Header = rec.Header == -1 ? -1 : 0;
    if (rec.Scope < 0 || rec.Scope >= CellScopeCount)
        rec.Scope = 0;
}

void normaliseTableSwitches(qint16 &backColorNothing, qint16 &netscapeMode)
{
    backColorNothing = checkValue(backColorNothing);
    netscapeMode = checkValue(netscapeMode);
}

CellTable::CellTable()
    : m_cells(Size * Size)
{
}

static void throwRange(int col, int row)
{
    throw std::out_of_range("Cells(" + std::to_string(col) + ", " + std::to_string(row)
                            + "): index outside 0..100");
}

CellRecord &CellTable::operator()(int col, int row)
{
    if (!inRange(col, row))
        throwRange(col, row);
    return m_cells[std::size_t(row) * Size + std::size_t(col)];
}

const CellRecord &CellTable::operator()(int col, int row) const
{
    if (!inRange(col, row))
        throwRange(col, row);
    return m_cells[std::size_t(row) * Size + std::size_t(col)];
}

TableModel::TableModel()
    : FileName(newTableName())
{
    resetToDefaults();
}

void TableModel::resetToDefaults()
{
    const CellRecord defaults;
    const CellRecord zero = CellRecord::zero();
    for (int c = 0; c <= CellTable::MaxIndex; ++c)
        for (int r = 0; r <= CellTable::MaxIndex; ++r)
            Cells(c, r) = (c < CellTable::MaxIndex && r < CellTable::MaxIndex) ? defaults : zero;
    TableRows = 2;
    TableCols = 2;
    TableTitle.clear();
    TableBackColor = 0xFFFFFF;
    TableBorder = 1;
    TableBackColorNothing = 1;
    NetscapeMode = 0;
    OutputProfile = MarkupProfile::Html4;
    TableWidthUnit = WidthUnit::None;
    TableWidth = 100;
    OutputStyle = PresentationStyle::Inline;
    TableId.clear();
    TableClass.clear();
    FooterRows = 0;
}

bool TableModel::usesNewSettings() const
{
    return OutputProfile != MarkupProfile::Html4 || TableWidthUnit != WidthUnit::None
            || TableWidth != 100;
}

bool TableModel::usesClassSettings() const
{
    if (OutputStyle != PresentationStyle::Inline || !TableId.isEmpty() || !TableClass.isEmpty())
        return true;
    for (int c = 0; c < CellTable::Size; ++c)
        for (int r = 0; r < CellTable::Size; ++r)
            if (!Cells(c, r).Class.isEmpty())
                return true;
    return false;
}

bool TableModel::usesFooterSettings() const
{
    if (FooterRows != 0)
        return true;
    for (int c = 0; c < CellTable::Size; ++c)
        for (int r = 0; r < CellTable::Size; ++r)
            if (Cells(c, r).Scope != 0)
                return true;
    return false;
}
