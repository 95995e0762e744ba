#include "core/io/published_table.h"

#include <algorithm>
#include <array>

#include "core/markup/table_markup.h"

namespace {

bool begins(const SpanLayout &layout, int c, int r)
{
    return layout.isWritten(c, r) || !layout.area(c, r).contains(c, r);
}

} // namespace

PublishedTable::PublishedTable(const TableModel &model) : m_model(model)
{
    const int rows = std::clamp<int>(model.TableRows, 0, TableLimits::MaxRows);
    const int cols = std::clamp<int>(model.TableCols, 0, TableLimits::MaxCols);
    m_layout.compute(model, rows, cols);

    std::vector<bool> rowBegins(std::size_t(rows) + 1), colBegins(std::size_t(cols) + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            if (begins(m_layout, c, r))
                rowBegins[std::size_t(r)] = colBegins[std::size_t(c)] = true;
    m_rowsBefore.assign(std::size_t(rows) + 1, 0);
    for (int r = 1; r <= rows; ++r) {
        if (rowBegins[std::size_t(r)])
            m_modelRow.push_back(r);
        m_rowsBefore[std::size_t(r)] = int(m_modelRow.size());
    }
    m_colsBefore.assign(std::size_t(cols) + 1, 0);
    for (int c = 1; c <= cols; ++c) {
        if (colBegins[std::size_t(c)])
            m_modelCol.push_back(c);
        m_colsBefore[std::size_t(c)] = int(m_modelCol.size());
    }

    // The head: leading rows of header cells only, ending where none of
    // their spans reaches further down.
    int leading = 0;
    bool inHead = true;
    std::vector<int> reach(std::size_t(this->rows()) + 1, 0); // lowest row reached from rows up to r
    for (int r = 1; r <= this->rows(); ++r) {
        int lowest = reach[std::size_t(r - 1)];
        bool allHeader = true;
        for (const PublishedCell &cell : rowCells(r)) {
            allHeader = allHeader && cell.header;
            lowest = std::max(lowest, cell.row + cell.rowSpan - 1);
            m_hasSpans = m_hasSpans || cell.rowSpan > 1 || cell.colSpan > 1;
        }
        reach[std::size_t(r)] = lowest;
        inHead = inHead && allHeader;
        if (inHead)
            leading = r;
    }
    if (leading == this->rows())
        leading = 0;
    while (leading > 0 && reach[std::size_t(leading)] > leading)
        --leading;
    m_headRows = leading;
}

PublishedCell PublishedTable::cellAt(int modelCol, int modelRow, const QRect &area) const
{
    PublishedCell cell;
    cell.row = m_rowsBefore[std::size_t(modelRow)];
    cell.col = m_colsBefore[std::size_t(modelCol)];
    cell.rowSpan = std::max(1, m_rowsBefore[std::size_t(area.bottom())] - m_rowsBefore[std::size_t(area.top() - 1)]);
    cell.colSpan = std::max(1, m_colsBefore[std::size_t(area.right())] - m_colsBefore[std::size_t(area.left() - 1)]);
    const bool html4 = m_model.OutputProfile == MarkupProfile::Html4;
    if (!m_layout.isWritten(modelCol, modelRow))
        return cell; // a slot left over: empty, aligned as a browser aligns it
    const CellRecord &rec = m_model.Cells(modelCol, modelRow);
    cell.record = &rec;
    cell.header = rec.Header == -1;
    const CellAlignment browser = browserAlignment(cell.header);
    // HTML 4 writes no alignment on a header cell, nor any in Netscape mode.
    const bool own = !(html4 && (cell.header || m_model.NetscapeMode != 0));
    cell.hAlign = own && rec.HAlign >= 0 && rec.HAlign <= 2 ? rec.HAlign : browser.hAlign;
    cell.vAlign = own && rec.VAlign >= 0 && rec.VAlign <= 2 ? rec.VAlign : browser.vAlign;
    return cell;
}

QVector<PublishedCell> PublishedTable::rowCells(int r) const
{
    QVector<PublishedCell> cells;
    if (r < 1 || r > rows())
        return cells;
    const int modelRow = m_modelRow[std::size_t(r - 1)];
    const int modelCols = int(m_colsBefore.size()) - 1;
    for (int c = 1; c <= modelCols;) {
        if (m_layout.isWritten(c, modelRow)) {
            const QRect area = m_layout.area(c, modelRow);
            cells.append(cellAt(c, modelRow, area));
            c += std::max(1, area.width());
        } else {
            if (!m_layout.area(c, modelRow).contains(c, modelRow))
                cells.append(cellAt(c, modelRow, QRect(c, modelRow, 1, 1)));
            ++c;
        }
    }
    return cells;
}

QVector<int> PublishedTable::columnAlignments(int firstRow, bool vertical, bool headersToo) const
{
    std::vector<std::array<int, 3>> counts(std::size_t(cols()), std::array<int, 3>{});
    for (int r = std::max(1, firstRow); r <= rows(); ++r)
        for (const PublishedCell &cell : rowCells(r))
            if (cell.record && (headersToo || !cell.header) && cell.colSpan == 1)
                ++counts[std::size_t(cell.col - 1)][std::size_t(vertical ? cell.vAlign : cell.hAlign)];
    QVector<int> out;
    out.reserve(cols());
    for (const auto &n : counts) {
        const auto most = std::max_element(n.begin(), n.end());
        out.append(*most == 0 ? -1 : int(most - n.begin()));
    }
    return out;
}

QVector<int> PublishedTable::columnDefaults(bool vertical) const
{
    QVector<int> data = columnAlignments(m_headRows + 1, vertical);
    const QVector<int> all = columnAlignments(1, vertical, true);
    for (int i = 0; i < data.size(); ++i)
        if (data[i] < 0)
            data[i] = all[i] >= 0 ? all[i] : (vertical ? 1 : 0);
    return data;
}

TextLine PublishedTable::caption() const
{
    TextLine out;
    for (TextLine line : cellLines(m_model.TableTitle)) {
        if (line.isEmpty())
            continue;
        if (!out.isEmpty())
            line.first().text.prepend(u' ');
        for (TextRun &run : line) {
            if (!out.isEmpty() && out.last().bold == run.bold && out.last().italic == run.italic
                && out.last().href == run.href)
                out.last().text += run.text;
            else
                out.append(std::move(run));
        }
    }
    return out;
}

SlotWalker::SlotWalker(const PublishedTable &table)
    : m_table(table), m_slots(std::size_t(table.cols()))
{
}

const std::vector<PublishedCell> &SlotWalker::row(int r)
{
    for (const PublishedCell &cell : m_table.rowCells(r))
        for (int c = cell.col; c < cell.col + cell.colSpan && c <= int(m_slots.size()); ++c)
            m_slots[std::size_t(c - 1)] = cell;
    return m_slots;
}
