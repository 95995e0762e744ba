#include "core/markup/header_layout.h"

#include "core/model/grid_text.h"

#include <algorithm>
#include <limits>
#include <map>

namespace {

// What the cells that begin in a row show.
struct RowFacts {
    bool header = false;  // a header cell
    bool data = false;    // a data cell that shows something, other than a title
    bool title = false;   // one data cell across the whole table
};

struct HeldHeader {
    int col;
    int row;
    QRect area;
};

} // namespace

bool HeaderLayout::showsNothing(const QString &markup)
{
    if (markup.isEmpty())
        return true;
    const bool tags = markup.contains(QLatin1Char('<'));
    if (!tags && !markup.contains(QLatin1Char('&')))
        return markup.trimmed().isEmpty();
    if (tags) {
        for (const char *shown : {"<img", "<input", "<select", "<textarea", "<button", "<object", "<embed",
                                  "<video", "<audio", "<svg", "<canvas", "<iframe", "<math"})
            if (markup.contains(QLatin1String(shown), Qt::CaseInsensitive))
                return false;
    }
    // A no-break space or an ideographic one shows nothing either.
    return HtmlToGridText(markup).trimmed().isEmpty();
}

HeaderLayout::HeaderLayout(const TableModel &model)
{
    m_rows = std::clamp<int>(model.TableRows, 0, TableLimits::MaxRows);
    m_cols = std::clamp<int>(model.TableCols, 0, TableLimits::MaxCols);
    m_spans.compute(model, m_rows, m_cols);

    // Rows merges cover whole are left out of HTML5: where the widths of the
    // merges over a row (below their first) add up to the table's.
    std::vector<std::pair<int, int>> events; // row, width entering (+) or leaving (-)
    for (const QRect &a : m_spans.spans())
        if (a.height() > 1) {
            events.emplace_back(a.top() + 1, a.width());
            events.emplace_back(a.bottom() + 1, -a.width());
        }
    std::sort(events.begin(), events.end());
    std::vector<std::pair<int, int>> folded; // runs of rows left out
    int covering = 0;
    for (std::size_t i = 0; i < events.size();) {
        const int row = events[i].first;
        for (; i < events.size() && events[i].first == row; ++i)
            covering += events[i].second;
        if (covering >= m_cols && m_cols > 0)
            folded.emplace_back(row, std::numeric_limits<int>::max());
        else if (!folded.empty() && folded.back().second == std::numeric_limits<int>::max())
            folded.back().second = row - 1;
    }
    // The last row written at or above row.
    auto lastWritten = [&folded](int row) {
        auto it = std::upper_bound(folded.begin(), folded.end(), std::make_pair(row, std::numeric_limits<int>::max()));
        if (it == folded.begin())
            return row;
        --it;
        return row <= it->second ? it->first - 1 : row;
    };
    // The lines merges cross: a cell over rows top..bottom crosses the lines
    // above top+1 .. bottom, as far as rows are written.
    for (const QRect &a : m_spans.spans())
        if (a.height() > 1 && lastWritten(a.bottom()) > a.top())
            m_crossed.emplace_back(a.top() + 1, lastWritten(a.bottom()));
    std::sort(m_crossed.begin(), m_crossed.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto &run : m_crossed) {
        if (!merged.empty() && run.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, run.second);
        else
            merged.push_back(run);
    }
    m_crossed = std::move(merged);

    // The foot as HTML5 writes it: fewer rows where a merge from above reaches in.
    int footRows = std::clamp<int>(model.FooterRows, 0, m_rows);
    while (footRows > 0 && !closedAt(m_rows - footRows + 1))
        --footRows;
    m_footStart = m_rows - footRows + 1;

    std::map<int, RowFacts> facts;
    std::vector<HeldHeader> headers;
    model.Cells.forEachHeld(QRect(1, 1, m_cols, m_rows), [&](int c, int r, const CellRecord &R) {
        if (!m_spans.isWritten(c, r))
            return;
        const QRect area = m_spans.area(c, r);
        if (R.Header == -1) {
            facts[r].header = true;
            headers.push_back({c, r, area});
        } else if (!showsNothing(R.Text)) {
            if (c == 1 && m_cols > 1 && area.width() == m_cols && area.height() == 1)
                facts[r].title = true;
            else
                facts[r].data = true;
        }
    });

    // The column headers: the header rows above the first row of data, titles
    // and empty rows between them. With no data at all they still head the
    // rows below them, if there are any.
    int lastLeadingHeader = 0;
    int lastDataRow = 0;
    for (const auto &[r, f] : facts) {
        if (f.data) {
            if (m_firstDataRow == 0)
                m_firstDataRow = r;
            lastDataRow = r;
        } else if (f.header && m_firstDataRow == 0) {
            lastLeadingHeader = r;
        }
    }
    const int columnHeadEnd = m_firstDataRow > 0 || lastLeadingHeader < m_footStart - 1 ? lastLeadingHeader : 0;

    // The head: the column headers, ending with a row of them, where no merge
    // leads out, and not all of the rows above the foot.
    auto headerRow = [&](int r) {
        const auto it = facts.find(r);
        return it != facts.end() && it->second.header && !it->second.data && !it->second.title;
    };
    m_headRows = columnHeadEnd;
    while (m_headRows > 0 && (!closedAt(m_headRows + 1) || !headerRow(m_headRows)))
        --m_headRows;
    if (m_headRows >= m_footStart - 1)
        m_headRows = 0;

    // Merged column headers: a column group each, unless their ranges overlap.
    struct Candidate {
        int left;
        int right;
        quint64 cell;
    };
    std::vector<Candidate> groups;
    m_headers.reserve(qsizetype(headers.size()));
    for (const HeldHeader &h : headers) {
        m_headers.append(QPoint(h.col, h.row));
        const bool columnHeader = h.row <= columnHeadEnd;
        CellScope scope = CellScope::Row;
        if (columnHeader && !(m_firstDataRow > 0 && h.area.bottom() >= m_firstDataRow)) {
            scope = CellScope::Col;
            if (h.area.width() > 1 && h.area.width() < m_cols)
                groups.push_back({h.area.left(), h.area.right(), key(h.col, h.row)});
        } else if (!columnHeader && m_firstDataRow > 0 && h.row > m_firstDataRow && headerRow(h.row)) {
            // A row of headers part-way down: it heads the columns below it.
            scope = CellScope::Col;
            if (lastDataRow > h.row)
                m_needsHeaders = true;
        } else {
            if (columnHeader || (h.area.width() > 1 && h.area.height() > 1))
                m_ambiguous.append(QPoint(h.col, h.row));
            if (!columnHeader && h.col == 1 && h.area.height() > 1 && h.row > m_headRows && h.area.bottom() < m_footStart
                && closedAt(h.row) && closedAt(h.area.bottom() + 1))
                scope = CellScope::RowGroup;
        }
        m_scopes.emplace(key(h.col, h.row), scope);
    }

    // Equal ranges share a group; any other overlap is more than column groups
    // can say: those headers are plain column headers, and id/headers tell.
    std::sort(groups.begin(), groups.end(), [](const Candidate &a, const Candidate &b) {
        return a.left != b.left ? a.left < b.left : a.right > b.right;
    });
    // Sorted by left end, equal ranges side by side: a range overlaps another
    // when one before it reaches its left end, or the next one starts inside it.
    std::vector<bool> conflict(groups.size(), false);
    int reach = 0; // the furthest right end of the distinct ranges before
    for (std::size_t i = 0; i < groups.size();) {
        std::size_t j = i;
        while (j < groups.size() && groups[j].left == groups[i].left && groups[j].right == groups[i].right)
            ++j;
        const bool overlaps = (i > 0 && reach >= groups[i].left)
                || (j < groups.size() && groups[j].left <= groups[i].right);
        for (std::size_t k = i; k < j; ++k)
            conflict[k] = overlaps;
        reach = std::max(reach, groups[i].right);
        i = j;
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (conflict[i])
            m_needsHeaders = true;
        else
            m_scopes[groups[i].cell] = CellScope::ColGroup;
    }
}

bool HeaderLayout::closedAt(int row) const
{
    // The runs are sorted and apart: the last one starting at or before row.
    auto it = std::upper_bound(m_crossed.begin(), m_crossed.end(), std::make_pair(row, std::numeric_limits<int>::max()));
    if (it == m_crossed.begin())
        return true;
    --it;
    return row > it->second;
}

CellScope HeaderLayout::automaticScope(int col, int row) const
{
    const auto it = m_scopes.find(key(col, row));
    return it == m_scopes.end() ? CellScope::Auto : it->second;
}
