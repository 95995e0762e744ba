#include "core/model/table_edits.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

#include "core/model/grid_text.h"

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

// The look of a cell without its content or spans: header, size, alignment, colour.
void dressLike(CellRecord &r, const CellRecord &from)
{
    r.Header = from.Header;
    r.HeightOn = from.HeightOn;
    r.Height = from.Height;
    r.WidthOn = from.WidthOn;
    r.Width = from.Width;
    r.VAlign = from.VAlign;
    r.HAlign = from.HAlign;
    r.BackColor = from.BackColor;
    r.BackColorNothing = from.BackColorNothing;
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
    // A new line is dressed as the one it was put beside: the one before it,
    // or at the top or left edge the one after it. Text and spans stay its own.
    const int model = before > 1 ? before - 1 : before + count;
    for (int line = before; line < before + count; ++line)
        for (int x = 1; x <= Last; ++x) {
            CellRecord fresh;
            if (model <= n + count && x <= across)
                dressLike(fresh, a.cell(m, model, x));
            a.cell(m, line, x) = fresh;
        }
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
    const int rows = std::clamp<int>(m.TableRows, 0, Last);
    const int cols = std::clamp<int>(m.TableCols, 0, Last);
    first = std::max(first, 1);
    last = std::min(last, rows);
    if (first >= last || col < 1 || col > cols)
        return 0;
    // A row span starting in the rows, or from above reaching into them.
    for (int r = 1; r <= last; ++r)
        for (int c = 1; c <= cols; ++c) {
            const CellRecord &rec = m.Cells(c, r);
            if (rec.RowSpanOn && rec.RowSpan > 1 && r + qint64(rec.RowSpan) - 1 >= first)
                return r;
        }

    struct Entry {
        int row;
        QString shown;
        bool number;
        double value;
    };
    QVector<Entry> entries;
    for (int r = first; r <= last; ++r) {
        Entry e{r, HtmlToGridText(m.Cells(col, r).Text).trimmed(), false, 0};
        if (key == SortKey::Number)
            e.number = readSortNumber(e.shown, e.value);
        entries.append(e);
    }
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // 0 sorts first, 1 after, 2 last.
    auto rank = [](const Entry &e) { return e.shown.isEmpty() ? 2 : (e.number ? 0 : 1); };
    auto order = [&](const Entry &a, const Entry &b) {
        const int ra = rank(a), rb = rank(b);
        if (ra != rb)
            return ra < rb;
        int cmp = 0;
        if (ra == 0)
            cmp = a.value < b.value ? -1 : (a.value > b.value ? 1 : 0);
        else if (ra == 1)
            cmp = collator.compare(a.shown, b.shown);
        return descending ? cmp > 0 : cmp < 0;
    };
    std::stable_sort(entries.begin(), entries.end(), order);

    QVector<CellRecord> moved;
    moved.reserve(entries.size() * Last);
    for (const Entry &e : std::as_const(entries))
        for (int x = 1; x <= Last; ++x)
            moved.append(m.Cells(x, e.row));
    int i = 0;
    for (int r = first; r <= last; ++r)
        for (int x = 1; x <= Last; ++x)
            m.Cells(x, r) = moved.at(i++);
    return 0;
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
            // HTML 4 skips every cell its counts reach; HTML5 only those it draws.
            const QRect skipped = html4 ? full : area;
            for (int y = skipped.top(); y <= skipped.bottom(); ++y)
                for (int x = skipped.left(); x <= skipped.right(); ++x)
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
