#include "core/model/table_edits.h"

#include <algorithm>
#include <numeric>

#include "core/model/table_tools.h"

namespace {

// One axis of the table: rows (a line is a row) or columns.
struct Axis {
    bool rows;

    qint32 &count(TableModel &m) const { return rows ? m.TableRows : m.TableCols; }
    qint32 count(const TableModel &m) const { return rows ? m.TableRows : m.TableCols; }
    qint32 otherCount(const TableModel &m) const { return rows ? m.TableCols : m.TableRows; }
    int maxLines() const { return rows ? TableLimits::MaxRows : TableLimits::MaxCols; }
    int maxAcross() const { return rows ? TableLimits::MaxCols : TableLimits::MaxRows; }
    int capacity() const { return rows ? CellTable::MaxRow : CellTable::MaxCol; }
    CellRecord &cell(TableModel &m, int line, int across) const
    {
        return rows ? m.Cells(across, line) : m.Cells(line, across);
    }
    const CellRecord &cell(const TableModel &m, int line, int across) const
    {
        return rows ? m.Cells(across, line) : m.Cells(line, across);
    }
    // The lines first..last across the whole width of the other axis.
    QRect lines(int first, int last, int across) const
    {
        return rows ? QRect(1, first, across, last - first + 1) : QRect(first, 1, last - first + 1, across);
    }
    int lineOf(int col, int row) const { return rows ? row : col; }
    int acrossOf(int col, int row) const { return rows ? col : row; }
    qint16 &spanOn(CellRecord &r) const { return rows ? r.RowSpanOn : r.ColSpanOn; }
    qint32 &span(CellRecord &r) const { return rows ? r.RowSpan : r.ColSpan; }
    qint16 spanOn(const CellRecord &r) const { return rows ? r.RowSpanOn : r.ColSpanOn; }
    qint32 span(const CellRecord &r) const { return rows ? r.RowSpan : r.ColSpan; }
};

constexpr int Classic = TableLimits::ClassicLines;

// Where lines stop moving: a table that stays within the original size and
// holds nothing past line 100 moves lines 1..99 only, as the original did
// (line 100 keeps its all-zero records); any other moves all of them.
int lineLimit(const TableModel &m, const Axis &a, int after)
{
    const int before = a.count(m);
    const int extent = a.rows ? m.Cells.rowExtent() : m.Cells.colExtent();
    if (before <= Classic && after <= Classic && extent <= Classic + 2)
        return Classic;
    return a.capacity();
}

void setSpan(const Axis &a, CellRecord &r, qint32 n)
{
    a.span(r) = std::max<qint32>(1, n);
    if (a.span(r) == 1)
        a.spanOn(r) = 0;
}

// The look of a cell without its content or spans: header, size, alignment, colour.
void dressLike(CellRecord &r, const CellRecord &from)
{
    r.Header = from.Header;
    r.HeightOn = from.HeightOn;
    r.Height = from.Height;
    r.WidthOn = from.WidthOn;
    r.Width = from.Width;
    r.WidthPercent = from.WidthPercent;
    r.HeightPercent = from.HeightPercent;
    r.VAlign = from.VAlign;
    r.HAlign = from.HAlign;
    r.BackColor = from.BackColor;
    r.BackColorNothing = from.BackColorNothing;
}

// The held cells of lines first..last that span more than one line of the axis.
QVector<QPoint> spanningCells(const TableModel &m, const Axis &a, int first, int last, int across)
{
    QVector<QPoint> found;
    if (first > last || across < 1)
        return found;
    m.Cells.forEachLaidOut(a.lines(first, last, across), [&](int c, int r, const CellRecord &rec) {
        if (a.spanOn(rec) && a.span(rec) > 1)
            found.append(QPoint(c, r));
    });
    return found;
}

bool insertLines(TableModel &m, const Axis &a, int before, int count)
{
    const int n = a.count(m);
    if (count < 1 || before < 1 || before > n + 1 || n + count > a.maxLines())
        return false;
    const int limit = lineLimit(m, a, n + count);
    const int spanCap = limit == Classic ? Classic : a.maxLines();
    const int across = std::clamp<int>(a.otherCount(m), 0, a.maxAcross());
    // A span reaching over the line grows by the lines put in.
    for (const QPoint p : spanningCells(m, a, 1, before - 1, across)) {
        const int line = a.lineOf(p.x(), p.y());
        const CellRecord &now = m.Cells(p.x(), p.y());
        if (line + qint64(a.span(now)) - 1 >= before) {
            CellRecord &r = m.Cells(p.x(), p.y());
            a.span(r) = std::max<qint32>(a.span(r), std::min<qint64>(qint64(a.span(r)) + count, spanCap));
        }
    }
    LineEdit edit;
    edit.kind = LineEdit::Insert;
    edit.rows = a.rows;
    edit.at = before;
    edit.count = count;
    edit.limit = limit;
    m.Cells.apply(edit);
    // A new line is dressed as the one it was put beside: the one before it,
    // or at the top or left edge the one after it. Text and spans stay its own.
    const int model = before > 1 ? before - 1 : before + count;
    if (model <= n + count) {
        for (int x = 1; x <= across; ++x) {
            const CellRecord &from = std::as_const(a).cell(std::as_const(m), model, x);
            CellRecord dressed;
            dressLike(dressed, from);
            if (dressed == CellTable::defaults())
                continue;
            for (int line = before; line < before + count; ++line)
                a.cell(m, line, x) = dressed;
        }
    }
    a.count(m) = n + count;
    return true;
}

bool deleteLines(TableModel &m, const Axis &a, int first, int count)
{
    const int n = a.count(m);
    const int last = first + count - 1;
    if (count < 1 || first < 1 || last > n || count >= n || n > a.maxLines())
        return false;
    const int limit = lineLimit(m, a, n - count);
    const int across = std::clamp<int>(a.otherCount(m), 0, a.maxAcross());
    for (const QPoint p : spanningCells(m, a, 1, n, across)) {
        const int line = a.lineOf(p.x(), p.y());
        const int x = a.acrossOf(p.x(), p.y());
        const qint64 end = line + qint64(a.span(std::as_const(m).Cells(p.x(), p.y()))) - 1;
        if (line < first && end >= first) {
            // Crossing the deleted lines: shorter by those it loses.
            CellRecord &r = m.Cells(p.x(), p.y());
            setSpan(a, r, qint32(a.span(r) - (std::min<qint64>(end, last) - first + 1)));
        } else if (line >= first && line <= last && end > last) {
            // Its first line goes: the cell below it (the first one left)
            // spans what remains.
            const CellRecord r = m.Cells(p.x(), p.y());
            CellRecord &heir = a.cell(m, last + 1, x);
            const Axis other{!a.rows};
            a.spanOn(heir) = 1;
            setSpan(a, heir, qint32(end - last));
            other.spanOn(heir) = other.spanOn(r);
            other.span(heir) = other.span(r);
        }
    }
    LineEdit edit;
    edit.kind = LineEdit::Remove;
    edit.rows = a.rows;
    edit.at = first;
    edit.count = count;
    edit.limit = limit;
    m.Cells.apply(edit);
    a.count(m) = n - count;
    return true;
}

QRect inTable(const TableModel &m, QRect cells)
{
    return cells.normalized() & m.tableCells();
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
    // Only held records can span: the others are at the defaults.
    QVector<QPoint> spanning;
    m.Cells.forEachLaidOut(r, [&](int c, int row, const CellRecord &rec) {
        if (rec.ColSpanOn || rec.RowSpanOn || rec.ColSpan != 1 || rec.RowSpan != 1)
            spanning.append(QPoint(c, row));
    });
    for (const QPoint p : std::as_const(spanning)) {
        CellRecord &rec = m.Cells(p.x(), p.y());
        rec.ColSpanOn = rec.RowSpanOn = 0;
        rec.ColSpan = rec.RowSpan = 1;
    }
}

bool readSortNumber(const QString &shown, double &value)
{
    QString t;
    t.reserve(shown.size());
    for (QChar ch : shown) {
        const char16_t u = ch.unicode();
        // Full-width forms of ASCII (digits, signs, the comma and the point) read as ASCII.
        if (u >= 0xFF01 && u <= 0xFF5E)
            ch = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000 || u == 0x00A0)
            ch = QLatin1Char(' ');
        else if (u == 0x2212)
            ch = QLatin1Char('-');
        t += ch;
    }
    t = t.trimmed();
    static const QString leading = QStringLiteral("\\$¥￥£€");
    while (!t.isEmpty() && leading.contains(t.front()))
        t.remove(0, 1);
    if (t.endsWith(QLatin1Char('%')) || t.endsWith(QChar(0x5186)))
        t.chop(1);
    t = t.trimmed();
    t.remove(QLatin1Char(','));
    if (t.isEmpty())
        return false;
    int i = 0;
    if (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-'))
        ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c.isDigit() && c.unicode() < 0x80)
            digits = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    if (!digits)
        return false;
    bool ok = false;
    value = t.toDouble(&ok);
    return ok;
}

int sortRows(TableModel &m, int first, int last, int col, bool descending, SortKey key)
{
    // Text as the menu has always sorted it: digits read as numbers.
    const tabletools::SortKind kind = key == SortKey::Number ? tabletools::SortKind::Number : tabletools::SortKind::Natural;
    return tabletools::sortRows(m, first, last, {tabletools::SortKey{col, kind, descending}});
}

} // namespace tableedits

void SpanLayout::compute(const TableModel &m, int rows, int cols)
{
    m_rows = std::clamp(rows, 0, TableLimits::MaxRows);
    m_cols = std::clamp(cols, 0, TableLimits::MaxCols);
    m_claims.clear();
    m_spans.clear();
    m_blocks.assign(std::size_t(m_rows / BlockRows + 1), {});
    const bool html4 = m.OutputProfile == MarkupProfile::Html4;
    // What a count of cols x rows from (c, r) reaches inside the table.
    auto reach = [&](int c, int r, qint32 cs, qint32 rs) {
        if (cs < 1 || rs < 1)
            return QRect();
        return QRect(c, r, std::min<qint32>(cs, m_cols - c + 1), std::min<qint32>(rs, m_rows - r + 1));
    };
    // Only held records can span; the cells are met in the generator's order.
    m.Cells.forEachLaidOut(QRect(1, 1, m_cols, m_rows), [&](int c, int r, const CellRecord &R) {
        if (!R.ColSpanOn && !R.RowSpanOn)
            return;
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
        if (full.width() == 1 && full.height() == 1)
            return;
        // A cell an earlier span covers is not written at all.
        if (claimAt(c, r) >= 0)
            return;
        // Drawn short of what earlier spans hold, as HTML5 writes it. Earlier
        // owners lie above or to the left, so only a span reaching down into
        // this row from the right can cut it short, and none can cut rows off
        // below it (it would cover this row in those columns too).
        int w = full.width();
        const std::size_t block = std::size_t(r / BlockRows);
        for (int i : m_blocks[block]) {
            const QRect &f = m_claims.at(i).full;
            if (f.top() <= r && f.bottom() >= r && f.left() > c && f.left() < c + w)
                w = f.left() - c;
        }
        // HTML5 writes the cells past a span cut short; HTML 4 skips them.
        const QRect area(c, r, w, full.height());
        add(Claim{QPoint(c, r), html4 ? full : area, area});
    });
    for (const Claim &cl : std::as_const(m_claims))
        if (cl.area.width() > 1 || cl.area.height() > 1)
            m_spans.append(cl.area);
}

void SpanLayout::add(const Claim &claim)
{
    const int index = int(m_claims.size());
    m_claims.append(claim);
    const int firstBlock = claim.full.top() / BlockRows;
    const int lastBlock = std::min<int>(claim.full.bottom() / BlockRows, int(m_blocks.size()) - 1);
    for (int b = firstBlock; b <= lastBlock; ++b)
        m_blocks[std::size_t(b)].push_back(index);
}

int SpanLayout::claimAt(int col, int row) const
{
    if (row < 0 || m_blocks.empty())
        return -1;
    const std::size_t block = std::size_t(row / BlockRows);
    if (block >= m_blocks.size())
        return -1;
    for (int i : m_blocks[block])
        if (m_claims.at(i).full.contains(col, row))
            return i;
    return -1;
}

QPoint SpanLayout::owner(int col, int row) const
{
    if (col < 1 || row < 1 || col > m_cols || row > m_rows)
        return QPoint(col, row);
    const int i = claimAt(col, row);
    return i < 0 ? QPoint(col, row) : m_claims.at(i).owner;
}

QRect SpanLayout::area(int col, int row) const
{
    if (col < 1 || row < 1 || col > m_cols || row > m_rows)
        return QRect(col, row, 1, 1);
    const int i = claimAt(col, row);
    return i < 0 ? QRect(col, row, 1, 1) : m_claims.at(i).area;
}

bool SpanLayout::operator==(const SpanLayout &o) const
{
    return m_rows == o.m_rows && m_cols == o.m_cols && m_claims == o.m_claims;
}

QRect SpanLayout::expanded(QRect r) const
{
    r = r.normalized();
    if (m_claims.isEmpty())
        return r;
    // Whether some cell of the claim within r is the claim's own (an earlier
    // span may hold all of them, HTML 4's overlaps); a large overlap is taken
    // as its own without looking at every cell.
    auto ownsSomeOf = [&](int index, const QRect &within) {
        const QRect part = m_claims.at(index).full & within;
        if (qint64(part.width()) * part.height() > 4096)
            return true;
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x)
                if (claimAt(x, y) == index)
                    return true;
        return false;
    };
    for (;;) {
        QRect grown = r;
        for (int i = 0; i < m_claims.size(); ++i) {
            const Claim &cl = m_claims.at(i);
            if (!cl.full.intersects(r) || grown.contains(cl.area | QRect(cl.owner, QSize(1, 1))))
                continue;
            if (ownsSomeOf(i, r))
                grown |= cl.area | QRect(cl.owner, QSize(1, 1));
        }
        if (grown == r)
            return r;
        r = grown;
    }
}
