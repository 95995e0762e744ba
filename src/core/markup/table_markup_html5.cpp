// The HTML5 text of a table: structure first, presentation as CSS or none.
#include "core/markup/table_markup.h"
#include "core/markup/table_markup_p.h"
#include "core/markup/cell_style.h"
#include "core/markup/header_layout.h"
#include "core/markup/table_presets.h"

#include <optional>
#include <vector>

namespace markup {

namespace {

// One emitted HTML5 cell, kept until the row groups are known.
struct Html5Cell {
    int col = 0;
    int row = 0;
    bool header = false;
    qint32 rowSpan = 1;   // in table rows, clipped to the table
    qint32 colSpan = 1;   // clipped to the table
    CellScope scope = CellScope::Auto; // the one written: the cell's own, else the automatic one
    bool referenced = false; // a header some cell's headers attribute names
    QString style;        // inline CSS, empty for none
    QString cls;          // the class attribute's value, empty for none
    QString headers;      // the headers attribute's value, empty for none
    QString headerId;     // the id, when referenced
    QString label;        // data-label (the responsive option), empty for none
    QString text;
};

QLatin1String cssHAlign(qint16 v)
{
    switch (v) {
    case 0: return QLatin1String("left");
    case 1: return QLatin1String("center");
    case 2: return QLatin1String("right");
    default: return QLatin1String();
    }
}

QLatin1String cssVAlign(qint16 v)
{
    switch (v) {
    case 0: return QLatin1String("top");
    case 1: return QLatin1String("middle");
    case 2: return QLatin1String("bottom");
    default: return QLatin1String();
    }
}

void addCss(QString &style, QLatin1String property, const QString &value)
{
    if (!style.isEmpty())
        style += QLatin1String("; ");
    style += property;
    style += QLatin1String(": ");
    style += value;
}

QString pixels(qint32 v)
{
    return QString::number(std::max<qint32>(0, v)) + QLatin1String("px");
}

QString percent(qint32 v)
{
    return QString::number(std::max<qint32>(0, v)) + QLatin1Char('%');
}

// Declarations that came through cellStyleText, as an attribute's text.
void appendOwnStyle(QString &style, const QString &css)
{
    if (css.isEmpty())
        return;
    if (!style.isEmpty())
        style += QLatin1String("; ");
    for (QChar c : css) {
        switch (c.unicode()) {
        case u'&': style += QLatin1String("&amp;"); break;
        case u'"': style += QLatin1String("&quot;"); break;
        case u'<': style += QLatin1String("&lt;"); break;
        case u'>': style += QLatin1String("&gt;"); break;
        default: style += c; break;
        }
    }
}

qint32 clampSpan(qint32 count, qint32 room)
{
    return std::max<qint32>(1, std::min<qint32>(count, room));
}

// The cells each row writes and the row groups they fall into.
struct Html5Rows {
    std::vector<std::vector<Html5Cell>> rows; // by table row, from 1
    std::vector<int> reachBefore;             // by row: the lowest row a cell of the rows above reaches
    int headRows = 0;
    int footRows = 0;
    bool needsHeaders = false;
    qsizetype estimate = 512;

    // No cell of the rows above first reaches into it.
    bool closedAbove(int first) const
    {
        return first < 1 || std::size_t(first) >= reachBefore.size() || reachBefore[std::size_t(first)] < first;
    }
};

QLatin1String scopeName(CellScope scope)
{
    switch (scope) {
    case CellScope::Row: return QLatin1String("row");
    case CellScope::Col: return QLatin1String("col");
    case CellScope::RowGroup: return QLatin1String("rowgroup");
    case CellScope::ColGroup: return QLatin1String("colgroup");
    case CellScope::Auto: break;
    }
    return QLatin1String();
}

// Pass 1, in the generator's cell order: what each cell writes (its style
// only with inlineStyle; no lines or text-align where a preset draws them),
// then the head and the foot.
Html5Rows html5Rows(const TableModel &model, qint32 border, bool inlineStyle, bool presetLook = false)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);
    Html5Rows layout;
    // What the headers head, from the table's structure.
    const HeaderLayout headers(model);
    layout.needsHeaders = headers.needsHeaders();
    auto &rows = layout.rows;
    rows.resize(std::size_t(std::max(lastRow, 0) + 1));
    CoveredMap covered(lastCol);
    qsizetype &estimate = layout.estimate;
    for (int r = 1; r <= lastRow; ++r) {
        for (int c = 1; c <= lastCol; ++c) {
            if (covered.at(c, r))
                continue;
            const CellRecord &R = model.Cells(c, r);
            Html5Cell cell;
            cell.col = c;
            cell.row = r;
            cell.header = R.Header == -1;
            qint32 colSpan = R.ColSpanOn != 0 ? clampSpan(R.ColSpan, lastCol - c + 1) : 1;
            cell.rowSpan = R.RowSpanOn != 0 ? clampSpan(R.RowSpan, lastRow - r + 1) : 1;
            // A span also stops short of a slot an earlier span holds: HTML5 has
            // no overlapping cells.
            for (int x = 1; x < colSpan; ++x) {
                if (covered.at(c + x, r)) {
                    colSpan = x;
                    break;
                }
            }
            // Marked from rows above, a slot below is taken only if the
            // one right below is: then the span stops at its own row.
            if (cell.rowSpan > 1 && covered.anyAt(c, colSpan, r + 1))
                cell.rowSpan = 1;
            covered.mark(c, r, colSpan, cell.rowSpan);

            cell.colSpan = colSpan;
            // Netscape mode is an HTML 4 matter: HTML5 always keeps the alignment.
            QString &style = cell.style;
            if (inlineStyle) {
                if (border > 0 && !presetLook)
                    addCss(style, QLatin1String("border"), QStringLiteral("1px inset gray"));
                const CellAlignment browser = browserAlignment(cell.header);
                if (R.HAlign != browser.hAlign && !cssHAlign(R.HAlign).isEmpty() && !presetLook)
                    addCss(style, QLatin1String("text-align"), cssHAlign(R.HAlign));
                if (R.VAlign != browser.vAlign && !cssVAlign(R.VAlign).isEmpty())
                    addCss(style, QLatin1String("vertical-align"), cssVAlign(R.VAlign));
                if (R.WidthOn != 0)
                    addCss(style, QLatin1String("width"), R.WidthPercent ? percent(R.Width) : pixels(R.Width));
                if (R.HeightOn != 0)
                    addCss(style, QLatin1String("height"), R.HeightPercent ? percent(R.Height) : pixels(R.Height));
                if (R.BackColorNothing == 0)
                    addCss(style, QLatin1String("background-color"), ColorToHtml(R.BackColor));
                // The cell's own declarations last, so that they win.
                if (!R.Style.isEmpty())
                    appendOwnStyle(style, cellStyleText(R.Style));
            }
            if (R.Scope > 0 && R.Scope < CellScopeCount)
                cell.scope = CellScope(R.Scope);
            else if (cell.header)
                cell.scope = headers.automaticScope(c, r);
            cell.cls = attributeText(R.Class, false);
            cell.text = R.Text;
            estimate += 64 + cell.style.size() + cell.text.size();
            rows[std::size_t(r)].push_back(std::move(cell));
        }
    }

    // A span crossing from above into a row would leave its row group.
    // Rows where no cell begins are left out, so a span reaches the last row
    // written within it.
    std::vector<int> lastWritten(rows.size(), 0);
    for (std::size_t y = 1; y < rows.size(); ++y)
        lastWritten[y] = rows[y].empty() ? lastWritten[y - 1] : int(y);
    auto &reach = layout.reachBefore;
    reach.assign(std::size_t(std::max(lastRow, 0) + 2), 0);
    for (int r = 1; r <= lastRow; ++r) {
        int lowest = reach[std::size_t(r)];
        for (const Html5Cell &x : rows[std::size_t(r)])
            lowest = std::max(lowest, lastWritten[std::size_t(r + x.rowSpan - 1)]);
        reach[std::size_t(r) + 1] = lowest;
    }
    // The foot: the last FooterRows rows, fewer where a span from above
    // reaches into them.
    int footRows = std::clamp<int>(model.FooterRows, 0, lastRow);
    while (footRows > 0 && !layout.closedAbove(lastRow - footRows + 1))
        --footRows;
    const int bodyEnd = lastRow - footRows;

    // The head: the column headers (and the titles among them), ending where
    // no span of theirs reaches further down; never all the rows above the foot.
    int headRows = std::min(headers.headRows(), bodyEnd);
    while (headRows > 0 && !layout.closedAbove(headRows + 1))
        --headRows;
    if (headRows == bodyEnd)
        headRows = 0;
    layout.headRows = headRows;
    layout.footRows = footRows;
    return layout;
}

// Column groups for the headers scoped "colgroup" (the tutorial's pattern:
// a scope over a group of columns means something only where <colgroup>
// marks the group): ranges of table columns, in order, apart. A range that
// overlaps an earlier one other than exactly gets no group.
std::vector<std::pair<int, int>> columnGroups(const Html5Rows &layout)
{
    std::vector<std::pair<int, int>> ranges;
    for (const auto &cells : layout.rows)
        for (const Html5Cell &x : cells)
            if (x.header && x.scope == CellScope::ColGroup)
                ranges.emplace_back(x.col, x.col + x.colSpan - 1);
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> groups;
    for (const auto &r : ranges) {
        if (!groups.empty() && (r == groups.back() || r.first <= groups.back().second))
            continue;
        groups.push_back(r);
    }
    return groups;
}

// The body's row groups, from..to each: a header scoped "rowgroup" starts
// one over the rows it spans (one row: down to the next such header), where
// no span crosses in or out; the rows between them are groups of their own.
std::vector<std::pair<int, int>> bodyGroups(const Html5Rows &layout, int first, int last)
{
    std::vector<std::pair<int, int>> starts; // row, rows spanned
    for (int r = first; r <= last; ++r)
        for (const Html5Cell &x : layout.rows[std::size_t(r)])
            if (x.header && x.scope == CellScope::RowGroup) {
                starts.emplace_back(r, x.rowSpan);
                break;
            }
    std::vector<std::pair<int, int>> groups;
    int from = first;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const int start = starts[i].first;
        const int next = i + 1 < starts.size() ? starts[i + 1].first : last + 1;
        const int end = starts[i].second > 1 ? std::min(start + starts[i].second - 1, last) : next - 1;
        if (start < from || !layout.closedAbove(start) || !layout.closedAbove(end + 1))
            continue;
        if (start > from)
            groups.emplace_back(from, start - 1);
        groups.emplace_back(start, end);
        from = end + 1;
    }
    if (from <= last)
        groups.emplace_back(from, last);
    return groups;
}

// What the ids of a table's headers start with: the table's own id, else a
// name made from its caption and headers, the same for every export of the
// same table and unlike another table's on the same page.
QString headerIdPrefix(const TableModel &model, const Html5Rows &layout)
{
    const QString id = attributeText(model.TableId, true);
    if (!id.isEmpty())
        return id + QLatin1Char('-');
    quint32 hash = 2166136261u; // FNV-1a
    auto mix = [&hash](QStringView text) {
        for (const QChar ch : text) {
            // Line ends become CR LF in a file: any form names the same table.
            if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
                continue;
            hash ^= ch.unicode();
            hash *= 16777619u;
        }
        hash ^= 0xFFFFu;
        hash *= 16777619u;
    };
    if (!model.TableTitle.trimmed().isEmpty())
        mix(model.TableTitle);
    for (const auto &cells : layout.rows)
        for (const Html5Cell &x : cells)
            if (x.header)
                mix(x.text);
    return QStringLiteral("h%1-").arg(hash, 8, 16, QLatin1Char('0'));
}

// id/headers for a table whose headers scope cannot tell: each data cell
// names the headers the HTML table model would give it. Up its columns: the
// nearest block of column headers, and those of the first block that a
// header of the nearest does not stand in for (the same columns); along its
// row: the row headers merged down into it from above, and those to its left
// in its row, the nearest run whole and farther ones that a nearer one of the
// same height does not stand in for. Every list is short: a cell names at
// most MaxNamed headers, and a column keeps at most MaxBlock of a block.
template<typename IdOf>
void assignHeaders(Html5Rows &layout, int lastCol, const IdOf &idOf)
{
    constexpr std::size_t MaxBlock = 8;
    constexpr std::size_t MaxNamed = 16;
    constexpr int MaxLeftward = 32;
    auto columnKind = [](const Html5Cell &x) {
        return x.scope == CellScope::Col || x.scope == CellScope::ColGroup;
    };
    struct Column {
        std::vector<Html5Cell *> first, recent;
        bool inBlock = false;
        bool recentIsFirst = true;
    };
    std::vector<Column> columns(std::size_t(std::max(lastCol, 0) + 1));
    std::vector<Html5Cell *> carried; // row headers merged down, by column
    std::vector<Html5Cell *> named;
    auto name = [&named](Html5Cell *h) {
        if (named.size() < MaxNamed && std::find(named.begin(), named.end(), h) == named.end())
            named.push_back(h);
    };
    for (std::size_t r = 1; r < layout.rows.size(); ++r) {
        carried.erase(std::remove_if(carried.begin(), carried.end(),
                                     [r](const Html5Cell *h) { return std::size_t(h->row + h->rowSpan) <= r; }),
                      carried.end());
        std::vector<Html5Cell *> own; // this row's headers so far
        std::vector<int> ownRun;      // the run each of them is in
        int run = 0;
        bool afterData = false;
        for (Html5Cell &x : layout.rows[r]) {
            const int right = std::min(x.col + x.colSpan - 1, lastCol);
            if (x.header) {
                if (afterData) {
                    ++run;
                    afterData = false;
                }
                if (columnKind(x)) {
                    for (int c = x.col; c <= right; ++c) {
                        Column &col = columns[std::size_t(c)];
                        if (!col.inBlock) {
                            col.inBlock = true;
                            if (!col.first.empty()) {
                                col.recentIsFirst = false;
                                col.recent.clear();
                            }
                        }
                        auto &block = col.recentIsFirst ? col.first : col.recent;
                        if (block.size() < MaxBlock)
                            block.push_back(&x);
                    }
                } else {
                    own.push_back(&x);
                    ownRun.push_back(run);
                }
                continue;
            }
            afterData = true;
            named.clear();
            for (int c = x.col; c <= right && named.size() < MaxNamed; ++c) {
                Column &col = columns[std::size_t(c)];
                col.inBlock = false;
                if (col.recentIsFirst) {
                    for (Html5Cell *h : col.first)
                        name(h);
                    continue;
                }
                for (Html5Cell *h : col.recent)
                    name(h);
                for (Html5Cell *h : col.first) {
                    const bool standsIn = std::any_of(col.recent.begin(), col.recent.end(), [h](const Html5Cell *g) {
                        return g->col == h->col && g->colSpan == h->colSpan;
                    });
                    if (!standsIn)
                        name(h);
                }
            }
            for (Html5Cell *h : carried) {
                if (h->col >= x.col || named.size() >= MaxNamed)
                    break;
                name(h);
            }
            // Leftward along the row, the nearest run first.
            std::vector<qint32> nearer, pending; // heights of the nearer runs' headers, of this one's
            int currentRun = own.empty() ? 0 : ownRun.back();
            int steps = 0;
            for (std::size_t i = own.size(); i-- > 0 && steps < MaxLeftward; ++steps) {
                if (ownRun[i] != currentRun) {
                    nearer.insert(nearer.end(), pending.begin(), pending.end());
                    pending.clear();
                    currentRun = ownRun[i];
                }
                if (ownRun[i] == ownRun.back() || std::find(nearer.begin(), nearer.end(), own[i]->rowSpan) == nearer.end())
                    name(own[i]);
                pending.push_back(own[i]->rowSpan);
            }
            std::sort(named.begin(), named.end(), [](const Html5Cell *a, const Html5Cell *b) {
                return a->row != b->row ? a->row < b->row : a->col < b->col;
            });
            x.headers.clear();
            for (Html5Cell *h : named) {
                if (!h->referenced) {
                    h->referenced = true;
                    h->headerId = idOf(*h);
                    layout.estimate += h->headerId.size() + 6;
                }
                if (!x.headers.isEmpty())
                    x.headers += QLatin1Char(' ');
                x.headers += h->headerId;
            }
            layout.estimate += x.headers.size() + 12;
        }
        for (Html5Cell &x : layout.rows[r])
            if (x.header && !columnKind(x) && x.rowSpan > 1)
                carried.push_back(&x);
        std::sort(carried.begin(), carried.end(), [](const Html5Cell *a, const Html5Cell *b) { return a->col < b->col; });
    }
}

// Every written cell as the preset planner sees it, in the order written.
template<typename Fn>
void forEachPresetCell(const TableModel &model, Html5Rows &layout, Fn fn)
{
    for (std::size_t r = 1; r < layout.rows.size(); ++r) {
        int position = 0;
        for (Html5Cell &x : layout.rows[r]) {
            PresetCell p;
            p.col = x.col;
            p.colSpan = x.colSpan;
            p.position = ++position;
            p.header = x.header;
            p.head = int(r) <= layout.headRows;
            p.hAlign = model.Cells(x.col, x.row).HAlign;
            p.text = &x.text;
            fn(p, x);
        }
    }
}

// The classes route: the planner counts every cell, then each cell gets its
// classes and label, the labels within what the text may still hold.
void planPreset(const TableModel &model, Html5Rows &layout, PresetPlanner &planner)
{
    forEachPresetCell(model, layout, [&](const PresetCell &p, Html5Cell &) { planner.count(p); });
    planner.settle(std::max<qint64>(0, MaxMarkupChars - qint64(layout.estimate)));
    forEachPresetCell(model, layout, [&](const PresetCell &p, Html5Cell &x) {
        const QString cls = planner.cellClass(p);
        if (!cls.isEmpty())
            x.cls = x.cls.isEmpty() ? cls : x.cls + QLatin1Char(' ') + cls;
        x.label = planner.label(p);
    });
}

qint32 html5Border(const TableModel &model, const MarkupInputs &in)
{
    bool numberOk = false;
    qint32 border = in.borderText.trimmed().toInt(&numberOk);
    if (!numberOk)
        border = model.TableBorder;
    return std::max<qint32>(0, border);
}

} // namespace

QString html5StyleSheet(const TableModel &model)
{
    const MarkupInputs in = inputsOf(model);
    Html5Rows layout = html5Rows(model, html5Border(model, in), false, presetDrawsTable(model));
    PresetPlanner planner(model);
    planPreset(model, layout, planner);
    return planner.styleSheet();
}

QString buildHtml5(const TableModel &model, const MarkupInputs &in)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);

    // The border doubles as the cell spacing, as in HTML 4. HTML5 has no border
    // attribute: what a browser draws for one is written as CSS, an outset
    // frame round the table and a 1px inset line round each cell.
    const qint32 border = html5Border(model, in);
    const bool inlineStyle = model.OutputStyle == PresentationStyle::Inline;
    const bool presetLook = presetDrawsTable(model);
    Html5Rows layout = html5Rows(model, border, inlineStyle, presetLook);
    std::optional<PresetPlanner> preset;
    if (usesPresetMarkup(model)) {
        preset.emplace(model);
        planPreset(model, layout, *preset);
    }
    const auto &rows = layout.rows;
    const int headRows = layout.headRows;
    const int bodyEnd = lastRow - layout.footRows;

    // Rows where no cell begins are left out; a span counts the rows written.
    auto rowsWritten = [&](int from, int to) {
        int n = 0;
        for (int y = from; y <= to; ++y)
            n += rows[std::size_t(y)].empty() ? 0 : 1;
        return n;
    };

    // Likewise columns in which no cell begins: a span counts the columns kept.
    std::vector<bool> colBegins(std::size_t(std::max(lastCol, 0) + 1), false);
    for (const auto &cells : rows)
        for (const Html5Cell &x : cells)
            colBegins[std::size_t(x.col)] = true;
    auto colsWritten = [&](int from, int to) {
        int n = 0;
        for (int x = from; x <= to; ++x)
            n += colBegins[std::size_t(x)] ? 1 : 0;
        return n;
    };

    if (layout.needsHeaders) {
        // A header's id says where it is among the rows and columns written,
        // so that a page read back and written again names it the same.
        std::vector<int> rowNumber(rows.size(), 0), colNumber(colBegins.size(), 0);
        for (std::size_t y = 1; y < rows.size(); ++y)
            rowNumber[y] = rowNumber[y - 1] + (rows[y].empty() ? 0 : 1);
        for (std::size_t x = 1; x < colBegins.size(); ++x)
            colNumber[x] = colNumber[x - 1] + (colBegins[x] ? 1 : 0);
        const QString prefix = headerIdPrefix(model, layout);
        assignHeaders(layout, lastCol, [&](const Html5Cell &h) {
            return prefix + QLatin1Char('r') + QString::number(rowNumber[std::size_t(h.row)]) + QLatin1Char('c')
                    + QString::number(colNumber[std::size_t(h.col)]);
        });
        if (layout.estimate > MaxMarkupChars)
            return QString();
    }
    QString out;
    out.reserve(std::min<qsizetype>(layout.estimate + in.titleText.size(), MaxMarkupChars));

    QString style;
    if (!presetLook) {
        if (border > 0) {
            addCss(style, QLatin1String("border"), pixels(border) + QLatin1String(" outset gray"));
        }
        addCss(style, QLatin1String("border-spacing"), pixels(border));
    }
    if (model.TableWidthUnit == WidthUnit::Pixels)
        addCss(style, QLatin1String("width"), pixels(model.TableWidth));
    else if (model.TableWidthUnit == WidthUnit::Percent)
        addCss(style, QLatin1String("width"), percent(model.TableWidth));
    if (model.TableBackColorNothing == 0)
        addCss(style, QLatin1String("background-color"), ColorToHtml(in.backColorShown));
    if (preset)
        out += preset->before();
    out += QLatin1String("<table");
    appendAttribute(out, QLatin1String("id"), model.TableId, true);
    appendAttribute(out, QLatin1String("class"),
                    preset ? model.TableClass + QLatin1Char(' ') + preset->tableClass() : model.TableClass);
    if (inlineStyle && !style.isEmpty()) {
        out += QLatin1String(" style=\"");
        out += style;
        out += QLatin1Char('"');
    }
    out += QLatin1Char('>');

    if (!model.TableTitle.trimmed().isEmpty()) {
        out += crlf;
        out += QLatin1String("<caption>");
        out += in.titleText;
        out += QLatin1String("</caption>");
    }

    // The columns before, between and after the groups stand alone.
    const std::vector<std::pair<int, int>> groups = columnGroups(layout);
    if (!groups.empty()) {
        out += crlf;
        int next = 1;
        auto loose = [&](int from, int to) {
            const int n = colsWritten(from, to);
            if (n == 1)
                out += QLatin1String("<col>");
            else if (n > 1)
                out += QLatin1String("<col span=\"") + QString::number(n) + QLatin1String("\">");
        };
        for (const auto &g : groups) {
            loose(next, g.first - 1);
            out += QLatin1String("<colgroup span=\"") + QString::number(std::max(1, colsWritten(g.first, g.second)))
                    + QLatin1String("\"></colgroup>");
            next = g.second + 1;
        }
        loose(next, lastCol);
    }

    auto writeRows = [&](int from, int to) {
        for (int r = from; r <= to; ++r) {
            const auto &cells = rows[std::size_t(r)];
            if (cells.empty())
                continue;
            out += crlf;
            out += QLatin1String("<tr>");
            for (const Html5Cell &x : cells) {
                const QLatin1String tag = x.header ? QLatin1String("th") : QLatin1String("td");
                out += QLatin1Char('<');
                out += tag;
                if (x.referenced) {
                    out += QLatin1String(" id=\"");
                    out += x.headerId;
                    out += QLatin1Char('"');
                }
                if (!x.headers.isEmpty()) {
                    out += QLatin1String(" headers=\"");
                    out += x.headers;
                    out += QLatin1Char('"');
                }
                const QLatin1String scope = scopeName(x.scope);
                if (x.header && scope.size() > 0) {
                    out += QLatin1String(" scope=\"");
                    out += scope;
                    out += QLatin1Char('"');
                }
                const int colSpan = colsWritten(x.col, x.col + x.colSpan - 1);
                if (colSpan > 1) {
                    out += QLatin1String(" colspan=\"");
                    out += QString::number(colSpan);
                    out += QLatin1Char('"');
                }
                const int rowSpan = rowsWritten(r, r + x.rowSpan - 1);
                if (rowSpan > 1) {
                    out += QLatin1String(" rowspan=\"");
                    out += QString::number(rowSpan);
                    out += QLatin1Char('"');
                }
                if (!x.cls.isEmpty()) {
                    out += QLatin1String(" class=\"");
                    out += x.cls;
                    out += QLatin1Char('"');
                }
                if (!x.label.isEmpty()) {
                    out += QLatin1String(" data-label=\"");
                    out += x.label;
                    out += QLatin1Char('"');
                }
                if (!x.style.isEmpty()) {
                    out += QLatin1String(" style=\"");
                    out += x.style;
                    out += QLatin1Char('"');
                }
                out += QLatin1Char('>');
                out += x.text;
                out += QLatin1String("</");
                out += tag;
                out += QLatin1Char('>');
            }
            out += QLatin1String("</tr>");
        }
    };
    auto writeGroup = [&](QLatin1String name, int from, int to) {
        if (rowsWritten(from, to) == 0)
            return;
        out += crlf;
        out += QLatin1Char('<');
        out += name;
        out += QLatin1Char('>');
        writeRows(from, to);
        out += crlf;
        out += QLatin1String("</");
        out += name;
        out += QLatin1Char('>');
    };
    if (headRows > 0)
        writeGroup(QLatin1String("thead"), 1, headRows);
    if (headRows < bodyEnd)
        for (const auto &g : bodyGroups(layout, headRows + 1, bodyEnd))
            writeGroup(QLatin1String("tbody"), g.first, g.second);
    if (bodyEnd < lastRow)
        writeGroup(QLatin1String("tfoot"), bodyEnd + 1, lastRow);
    out += crlf;
    out += QLatin1String("</table>");
    if (preset)
        out += preset->after();
    return out;
}

} // namespace markup

void clearAutomaticScopes(TableModel &model)
{
    // The automatic scope never depends on the scopes set, so clearing one
    // changes no other.
    const HeaderLayout headers(model);
    for (const QPoint p : headers.headerCells()) {
        const CellRecord &R = std::as_const(model).Cells(p.x(), p.y());
        if (R.Scope != 0 && R.Scope == qint16(headers.automaticScope(p.x(), p.y())))
            model.Cells(p.x(), p.y()).Scope = 0;
    }
}
