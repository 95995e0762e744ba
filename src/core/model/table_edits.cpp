#include "core/model/table_edits.h"

#include <algorithm>

namespace {

// One axis of the table: rows (a line is a row) or columns.
struct Axis {
    bool rows;

    qint32 &count(TableModel &m) const { return rows ? m.TableRows : m.TableCols; }
    qint32 otherCount(const TableModel &m) const { return rows ? m.TableCols : m.TableRows; }
    CellRecord &cell(TableModel &m, int line, int across) const
    {
        return rows ? m.Cells(across, line) : m.Cells(line, across);
    }
    qint16 &spanOn(CellRecord &r) const { return rows ? r.RowSpanOn : r.ColSpanOn; }
    qint32 &span(CellRecord &r) const { return rows ? r.RowSpan : r.ColSpan; }
};

constexpr int Last = TableLimits::MaxLines;

void setSpan(const Axis &a, CellRecord &r, qint32 n)
{
    a.span(r) = std::max<qint32>(1, n);
    if (a.span(r) == 1)
        a.spanOn(r) = 0;
}

bool insertLines(TableModel &m, const Axis &a, int before, int count)
{
    const int n = a.count(m);
    if (count < 1 || before < 1 || before > n + 1 || n + count > tableedits::MaxLines)
        return false;
    const int across = std::clamp<int>(a.otherCount(m), 0, Last);
    // A span reaching over the line grows by the lines put in.
    for (int line = 1; line < before; ++line)
        for (int x = 1; x <= across; ++x) {
            CellRecord &r = a.cell(m, line, x);
            if (a.spanOn(r) && a.span(r) > 1 && line + qint64(a.span(r)) - 1 >= before)
                a.span(r) = std::max<qint32>(a.span(r), std::min<qint64>(qint64(a.span(r)) + count, tableedits::MaxLines));
        }
    for (int line = Last; line >= before + count; --line)
        for (int x = 1; x <= Last; ++x)
            a.cell(m, line, x) = a.cell(m, line - count, x);
    for (int line = before; line < before + count; ++line)
        for (int x = 1; x <= Last; ++x)
            a.cell(m, line, x) = CellRecord();
    a.count(m) = n + count;
    return true;
}

bool deleteLines(TableModel &m, const Axis &a, int first, int count)
{
    const int n = a.count(m);
    const int last = first + count - 1;
    if (count < 1 || first < 1 || last > n || count >= n || n > Last)
        return false;
    const int across = std::clamp<int>(a.otherCount(m), 0, Last);
    for (int line = 1; line <= n; ++line)
        for (int x = 1; x <= across; ++x) {
            CellRecord &r = a.cell(m, line, x);
            if (!a.spanOn(r) || a.span(r) <= 1)
                continue;
            const qint64 end = line + qint64(a.span(r)) - 1;
            if (line < first && end >= first) {
                // Crossing the deleted lines: shorter by those it loses.
                setSpan(a, r, qint32(a.span(r) - (std::min<qint64>(end, last) - first + 1)));
            } else if (line >= first && line <= last && end > last) {
                // Its first line goes: the cell below it (the first one left)
                // spans what remains.
                CellRecord &heir = a.cell(m, last + 1, x);
                const Axis other{!a.rows};
                a.spanOn(heir) = 1;
                setSpan(a, heir, qint32(end - last));
                other.spanOn(heir) = other.spanOn(r);
                other.span(heir) = other.span(r);
            }
        }
    for (int line = first; line + count <= Last; ++line)
        for (int x = 1; x <= Last; ++x)
            a.cell(m, line, x) = a.cell(m, line + count, x);
    for (int line = Last - count + 1; line <= Last; ++line)
        for (int x = 1; x <= Last; ++x)
            a.cell(m, line, x) = CellRecord();
    a.count(m) = n - count;
    return true;
}

QRect inTable(const TableModel &m, QRect cells)
{
    return cells.normalized() & QRect(1, 1, std::clamp<int>(m.TableCols, 0, Last), std::clamp<int>(m.TableRows, 0, Last));
}

} // namespace

namespace tableedits {

bool insertRows(TableModel &m, int before, int count) { return insertLines(m, Axis{true}, before, count); }
bool insertCols(TableModel &m, int before, int count) { return insertLines(m, Axis{false}, before, count); }
bool deleteRows(TableModel &m, int first, int count) { return deleteLines(m, Axis{true}, first, count); }
bool deleteCols(TableModel &m, int first, int count) { return deleteLines(m, Axis{false}, first, count); }

void mergeCells(TableModel &m, QRect cells)
{
    const QRect r = inTable(m, cells);
    if (r.isEmpty())
        return;
    unmergeCells(m, r);
    CellRecord &top = m.Cells(r.left(), r.top());
    top.ColSpanOn = r.width() > 1 ? 1 : 0;
    top.ColSpan = r.width();
    top.RowSpanOn = r.height() > 1 ? 1 : 0;
    top.RowSpan = r.height();
}

void unmergeCells(TableModel &m, QRect cells)
{
    const QRect r = inTable(m, cells);
    for (int c = r.left(); c <= r.right(); ++c)
        for (int row = r.top(); row <= r.bottom(); ++row) {
            CellRecord &rec = m.Cells(c, row);
            rec.ColSpanOn = rec.RowSpanOn = 0;
            rec.ColSpan = rec.RowSpan = 1;
        }
}

} // namespace tableedits

void SpanLayout::compute(const TableModel &m, int rows, int cols)
{
    m_rows = std::clamp(rows, 0, Last);
    m_cols = std::clamp(cols, 0, Last);
    m_owner.fill(QPoint(), m_rows * m_cols);
    m_areas.fill(QRect(), m_rows * m_cols);
    m_spans.clear();
    const bool html4 = m.OutputProfile == MarkupProfile::Html4;
    auto taken = [&](int c, int r) { return !m_owner[index(c, r)].isNull(); };
    // What a count of cols x rows from (c, r) reaches inside the table.
    auto reach = [&](int c, int r, qint32 cs, qint32 rs) {
        if (cs < 1 || rs < 1)
            return QRect();
        return QRect(c, r, std::min<qint32>(cs, m_cols - c + 1), std::min<qint32>(rs, m_rows - r + 1));
    };
    for (int r = 1; r <= m_rows; ++r)
        for (int c = 1; c <= m_cols; ++c) {
            if (taken(c, r))
                continue;
            const CellRecord &R = m.Cells(c, r);
            // What the generator marks as covered by this cell.
            QRect full;
            if (html4) {
                // As the HTML 4 writer reads the counts: a switched-off one counts 1.
                qint32 rs = R.RowSpan, cs = R.ColSpan;
                if (R.ColSpanOn != 0) {
                    if (rs == 0 || R.RowSpanOn == 0)
                        rs = 1;
                    full |= reach(c, r, cs, rs);
                }
                if (R.RowSpanOn != 0) {
                    if (cs == 0 || R.ColSpanOn == 0)
                        cs = 1;
                    full |= reach(c, r, cs, rs);
                }
            } else {
                full = reach(c, r, R.ColSpanOn != 0 ? std::max<qint32>(1, R.ColSpan) : 1,
                             R.RowSpanOn != 0 ? std::max<qint32>(1, R.RowSpan) : 1);
            }
            full |= QRect(c, r, 1, 1);
            // Drawn short of what earlier spans hold, as HTML5 writes it.
            int w = full.width(), h = full.height();
            for (int x = 1; x < w; ++x)
                if (taken(c + x, r)) {
                    w = x;
                    break;
                }
            for (int y = 1; y < h; ++y) {
                bool free = true;
                for (int x = 0; x < w && free; ++x)
                    free = !taken(c + x, r + y);
                if (!free) {
                    h = y;
                    break;
                }
            }
            const QRect area(c, r, w, h);
            for (int y = full.top(); y <= full.bottom(); ++y)
                for (int x = full.left(); x <= full.right(); ++x)
                    if (!taken(x, y))
                        m_owner[index(x, y)] = QPoint(c, r);
            m_areas[index(c, r)] = area;
            if (w > 1 || h > 1)
                m_spans.append(area);
        }
}

QPoint SpanLayout::owner(int col, int row) const
{
    if (col < 1 || row < 1 || col > m_cols || row > m_rows)
        return QPoint(col, row);
    return m_owner[index(col, row)];
}

QRect SpanLayout::area(int col, int row) const
{
    const QPoint o = owner(col, row);
    if (o.x() < 1 || o.y() < 1 || o.x() > m_cols || o.y() > m_rows)
        return QRect(col, row, 1, 1);
    return m_areas[index(o.x(), o.y())];
}

QRect SpanLayout::expanded(QRect r) const
{
    r = r.normalized();
    if (m_spans.isEmpty())
        return r;
    for (;;) {
        QRect grown = r;
        for (int row = r.top(); row <= r.bottom(); ++row)
            for (int col = r.left(); col <= r.right(); ++col) {
                // A cell skipped beyond its owner's area brings the owner in.
                grown |= area(col, row);
                const QPoint o = owner(col, row);
                grown |= QRect(o, QSize(1, 1));
            }
        if (grown == r)
            return r;
        r = grown;
    }
}
