// The HTML5 text of a table: structure first, presentation as CSS or none.
#include "core/markup/table_markup.h"
#include "core/markup/table_markup_p.h"
#include "core/markup/cell_style.h"

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
    CellScope scope = CellScope::Auto;
    QString style;        // inline CSS, empty for none
    QString cls;          // the class attribute's value, empty for none
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
    int headRows = 0;
    int footRows = 0;
    qsizetype estimate = 512;
};

// The scope a header cell gets when its own is automatic.
CellScope automaticScope(const Html5Cell &x, bool head)
{
    if (head)
        return CellScope::Col;
    return x.col == 1 ? CellScope::Row : CellScope::Auto;
}

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
// only with inlineStyle), then the head and the foot.
Html5Rows html5Rows(const TableModel &model, qint32 border, bool inlineStyle)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);
    Html5Rows layout;
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
                if (border > 0)
                    addCss(style, QLatin1String("border"), QStringLiteral("1px inset gray"));
                const CellAlignment browser = browserAlignment(cell.header);
                if (R.HAlign != browser.hAlign && !cssHAlign(R.HAlign).isEmpty())
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
            cell.cls = attributeText(R.Class, false);
            cell.text = R.Text;
            estimate += 64 + cell.style.size() + cell.text.size();
            rows[std::size_t(r)].push_back(std::move(cell));
        }
    }

    // A span crossing from above into row first would leave its row group.
    auto closedAbove = [&](int first) {
        for (int r = 1; r < first; ++r)
            for (const Html5Cell &x : rows[std::size_t(r)])
                if (r + x.rowSpan > first)
                    return false;
        return true;
    };
    // The foot: the last FooterRows rows, fewer where a span from above
    // reaches into them.
    int footRows = std::clamp<int>(model.FooterRows, 0, lastRow);
    while (footRows > 0 && !closedAbove(lastRow - footRows + 1))
        --footRows;
    const int bodyEnd = lastRow - footRows;

    // The head: the leading rows of header cells only, ending where no span
    // of theirs reaches further down; never all the rows above the foot.
    int headRows = 0;
    while (headRows < bodyEnd) {
        const auto &cells = rows[std::size_t(headRows + 1)];
        if (!std::all_of(cells.begin(), cells.end(), [](const Html5Cell &x) { return x.header; }))
            break;
        ++headRows;
    }
    while (headRows > 0 && !closedAbove(headRows + 1))
        --headRows;
    if (headRows == bodyEnd)
        headRows = 0;
    layout.headRows = headRows;
    layout.footRows = footRows;
    return layout;
}

} // namespace

QString buildHtml5(const TableModel &model, const MarkupInputs &in)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);

    // The border doubles as the cell spacing, as in HTML 4. HTML5 has no border
    // attribute: what a browser draws for one is written as CSS, an outset
    // frame round the table and a 1px inset line round each cell.
    bool numberOk = false;
    qint32 border = in.borderText.trimmed().toInt(&numberOk);
    if (!numberOk)
        border = model.TableBorder;
    border = std::max<qint32>(0, border);
    const bool inlineStyle = model.OutputStyle == PresentationStyle::Inline;
    const Html5Rows layout = html5Rows(model, border, inlineStyle);
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

    QString out;
    out.reserve(std::min<qsizetype>(layout.estimate + in.titleText.size(), MaxMarkupChars));

    QString style;
    if (border > 0) {
        addCss(style, QLatin1String("border"), pixels(border) + QLatin1String(" outset gray"));
    }
    addCss(style, QLatin1String("border-spacing"), pixels(border));
    if (model.TableWidthUnit == WidthUnit::Pixels)
        addCss(style, QLatin1String("width"), pixels(model.TableWidth));
    else if (model.TableWidthUnit == WidthUnit::Percent)
        addCss(style, QLatin1String("width"), percent(model.TableWidth));
    if (model.TableBackColorNothing == 0)
        addCss(style, QLatin1String("background-color"), ColorToHtml(in.backColorShown));
    out += QLatin1String("<table");
    appendAttribute(out, QLatin1String("id"), model.TableId, true);
    appendAttribute(out, QLatin1String("class"), model.TableClass);
    if (inlineStyle) {
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

    auto writeRows = [&](int from, int to, bool head) {
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
                const QLatin1String scope = scopeName(x.scope != CellScope::Auto ? x.scope : automaticScope(x, head));
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
    if (headRows > 0) {
        out += crlf;
        out += QLatin1String("<thead>");
        writeRows(1, headRows, true);
        out += crlf;
        out += QLatin1String("</thead>");
    }
    if (headRows < bodyEnd) {
        out += crlf;
        out += QLatin1String("<tbody>");
        writeRows(headRows + 1, bodyEnd, false);
        out += crlf;
        out += QLatin1String("</tbody>");
    }
    if (bodyEnd < lastRow) {
        out += crlf;
        out += QLatin1String("<tfoot>");
        writeRows(bodyEnd + 1, lastRow, false);
        out += crlf;
        out += QLatin1String("</tfoot>");
    }
    out += crlf;
    out += QLatin1String("</table>");
    return out;
}

} // namespace markup

void clearAutomaticScopes(TableModel &model)
{
    using namespace markup;
    const Html5Rows layout = html5Rows(model, 0, false);
    const int lastRow = lastTableRow(model);
    for (int r = 1; r <= lastRow; ++r)
        for (const Html5Cell &x : layout.rows[std::size_t(r)]) {
            CellRecord &R = model.Cells(x.col, r);
            if (x.header && x.scope != CellScope::Auto && x.scope == automaticScope(x, r <= layout.headRows))
                R.Scope = 0;
        }
}
