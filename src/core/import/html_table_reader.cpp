#include "core/import/html_tables_p.h"
#include "core/import/html_values_p.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

// Turning one TABLE element into an HtmlTable: its attribute values, its rows
// and the slots its cells' spans take.

using namespace htmltables;

namespace {

// Spans are followed this far: one past what a table can hold, so that a
// table too large is told as one.
constexpr int TrackedCols = TableLimits::MaxCols + 1;
constexpr int TrackedRows = TableLimits::MaxRows + 1;
constexpr int MaxRowSpan = TableLimits::MaxRows; // what the span boxes hold
constexpr int MaxColSpan = TableLimits::MaxCols;
constexpr int MaxCellSize = 9999;  // what the size boxes hold
constexpr int MaxCellPercent = 100;
constexpr int MaxTableWidth = 9999;
constexpr int MaxTablePercent = 100;
// Bytes of page in all tables together: twice the page (a table in a cell's
// text), at least this much.
constexpr size_t MaxTablesSource = 64 * 1024 * 1024;


struct Row {
    const GumboElement *tr;
    int groupEnd; // index of the first row after its row group
};

// Rows in the order a table shows them: header and body groups in page
// order, footers last (footerRows of them). Spans run on across groups, as in
// the grid.
std::vector<Row> tableRows(const GumboElement &table, const GumboElement **caption, int *footerRows)
{
    std::vector<Row> rows;
    std::vector<const GumboElement *> footers;
    auto addGroup = [&rows](const GumboElement &group) {
        const size_t first = rows.size();
        for (unsigned i = 0; i < group.children.length; ++i)
            if (const GumboElement *tr = htmlElement(child(group, i), GUMBO_TAG_TR))
                rows.push_back({tr, 0});
        for (size_t r = first; r < rows.size(); ++r)
            rows[r].groupEnd = int(rows.size());
    };
    for (unsigned i = 0; i < table.children.length; ++i) {
        const GumboNode *node = child(table, i);
        if (const GumboElement *c = htmlElement(node, GUMBO_TAG_CAPTION)) {
            if (!*caption)
                *caption = c;
        } else if (const GumboElement *g = htmlElement(node, GUMBO_TAG_THEAD)) {
            addGroup(*g);
        } else if (const GumboElement *g = htmlElement(node, GUMBO_TAG_TBODY)) {
            addGroup(*g);
        } else if (const GumboElement *g = htmlElement(node, GUMBO_TAG_TFOOT)) {
            footers.push_back(g);
        } else if (const GumboElement *tr = htmlElement(node, GUMBO_TAG_TR)) {
            rows.push_back({tr, int(rows.size()) + 1});
        }
    }
    const size_t bodyRows = rows.size();
    for (const GumboElement *g : footers)
        addGroup(*g);
    *footerRows = int(rows.size() - bodyRows);
    return rows;
}

// Which slots earlier cells' spans have taken, for a walk down the rows:
// spans are taken from the row being read downwards, so a column is taken from
// there through the lowest row any span reached in it. How many rows of each
// column are taken in all tells the columns that spans fill in every row.
class Occupancy
{
public:
    explicit Occupancy(int rows) : m_rows(rows) {}
    // Only for rows at or below the one being read.
    bool taken(int x, int y) const
    {
        return size_t(x) < m_through.size() && m_through[size_t(x)] >= y;
    }
    void take(int x, int y, int width, int height)
    {
        const int lastX = std::min(x + width, TrackedCols);
        const int end = std::min<qint64>(qint64(y) + height, m_rows) - 1;
        if (lastX <= x || end < y)
            return;
        if (m_through.size() < size_t(lastX)) {
            m_through.resize(size_t(lastX), -1);
            m_count.resize(size_t(lastX), 0);
        }
        for (int xx = x; xx < lastX; ++xx) {
            int &through = m_through[size_t(xx)];
            if (end > through) {
                m_count[size_t(xx)] += end - std::max(through, y - 1);
                through = end;
            }
        }
    }
    // Every row of column x is taken.
    bool filled(int x) const
    {
        return size_t(x) < m_count.size() && m_count[size_t(x)] >= m_rows;
    }

private:
    int m_rows;
    std::vector<int> m_through; // by column
    std::vector<int> m_count;   // by column: rows taken in all
};

QString captionText(QString s)
{
    // The generator puts the title on a line of its own.
    if (s.startsWith(QLatin1String("\r\n")))
        s.remove(0, 2);
    else if (s.startsWith(u'\n') || s.startsWith(u'\r'))
        s.remove(0, 1);
    if (s.endsWith(QLatin1String("\r\n")))
        s.chop(2);
    else if (s.endsWith(u'\n') || s.endsWith(u'\r'))
        s.chop(1);
    return s;
}

// What a page's table left out is listed once each, and only so far: a page
// of thousands of made-up attributes would otherwise make the list (and each
// look into it) as long as the page.
constexpr int MaxNamed = 100;
constexpr int MaxNamedValue = 40;

void noteLeftOut(QStringList &leftOut, const QString &what)
{
    static const QString more(QChar(0x2026));
    if (leftOut.size() >= MaxNamed) {
        if (leftOut.constLast() != more)
            leftOut << more;
        return;
    }
    if (!leftOut.contains(what))
        leftOut << what;
}

// "td width="abc"": an attribute value as the notice shows it, cut short.
QString namedValue(const char *tag, const char *attr, const QString &value)
{
    const QString v = value.size() > MaxNamedValue ? value.left(MaxNamedValue) + QChar(0x2026) : value;
    return QStringLiteral("%1 %2=\"%3\"").arg(QLatin1String(tag), QLatin1String(attr), v.simplified());
}

CellScope scopeOf(const QString &value)
{
    static const char *const names[] = {"", "row", "col", "rowgroup", "colgroup"};
    for (int i = 1; i < CellScopeCount; ++i)
        if (value == QLatin1String(names[i]))
            return CellScope(i);
    return CellScope::Auto;
}

bool isPresentational(const char *name)
{
    for (const char *p : {"style", "align", "valign", "bgcolor", "width", "height", "border"})
        if (qstricmp(name, p) == 0)
            return true;
    return false;
}

// Every attribute of e that the model does not hold goes into leftOut as
// "tag name", or "tag name="value"" for a value the output would not write.
void noteAttributes(const GumboElement &e, const char *tag, std::initializer_list<const char *> held,
                    QStringList &leftOut, bool &presentational)
{
    for (unsigned i = 0; i < e.attributes.length; ++i) {
        const auto *a = static_cast<const GumboAttribute *>(e.attributes.data[i]);
        presentational = presentational || isPresentational(a->name);
        bool known = false;
        for (const char *h : held)
            known = known || qstricmp(a->name, h) == 0;
        if (qstricmp(a->name, "scope") == 0) {
            const QString v = QString::fromUtf8(a->value).trimmed().toLower();
            // A header cell keeps its scope; a data cell's is not written back.
            known = qstricmp(tag, "th") == 0 && scopeOf(v) != CellScope::Auto;
            if (!known) {
                noteLeftOut(leftOut, namedValue(tag, "scope", v));
                continue;
            }
        }
        if (!known)
            noteLeftOut(leftOut, QLatin1String(tag) + QLatin1Char(' ') + QString::fromUtf8(a->name).left(64));
    }
}

// What a cell's reading needs from its table, and where it says what the
// record could not take.
struct CellContext {
    const char *tag;          // "td" or "th"
    int tableBorder;          // what the table's border reads as, -1 for none
    bool html4;               // the table is written back as HTML 4: no style text
    QStringList *leftOut;
    QStringList *unwritten;
};

// A size the record holds: 1..9999 pixels or 1..100 per cent.
std::optional<Number> cellSize(const std::optional<Number> &n)
{
    if (!n || n->value < 1 || n->value > (n->percent ? MaxCellPercent : MaxCellSize))
        return std::nullopt;
    return n;
}

// Width or height: CSS first, then the attribute. A CSS value the record
// cannot hold stays in the cell's style text, where it still wins.
void readCellSize(const GumboElement &e, InlineStyle &style, const char *name, qint16 &on,
                  qint32 &size, qint16 &percent, const CellContext &cx)
{
    const int at = style.lastOf(QLatin1String(name));
    std::optional<Number> n;
    if (at >= 0 && (n = cellSize(parseCssLength(style.value(at)))))
        style.take(at);
    if (!n)
        if (const auto attr = attribute(e, name))
            if (!(n = cellSize(parseDimension(*attr))))
                noteLeftOut(*cx.leftOut, namedValue(cx.tag, name, *attr));
    if (!n)
        return;
    on = 1;
    size = qint32(n->value);
    percent = n->percent ? 1 : 0;
}

CellRecord readCell(const ParsedPage &page, const GumboElement &e, bool header, int rowsLeft,
                    const CellContext &cx, bool *aligned, bool *hAligned)
{
    CellRecord r;
    r.Class = attribute(e, "class").value_or(QString()).simplified();
    r.Header = header ? -1 : 0;
    if (header)
        r.Scope = qint16(scopeOf(attribute(e, "scope").value_or(QString()).trimmed().toLower()));
    r.Text = page.innerSource(e);
    InlineStyle style = parseStyle(attribute(e, "style"));

    // CSS wins over the attribute; a CSS value the record cannot hold (say
    // "justify") stays in the style text and leaves the attribute to HTML 4.
    auto alignment = [&](const char *property, const char *attr,
                         std::optional<qint16> (*parse)(const QString &)) {
        std::optional<qint16> v;
        const int at = style.lastOf(QLatin1String(property));
        if (at >= 0 && (v = parse(style.value(at))))
            style.take(at);
        if (!v)
            if (const auto text = attribute(e, attr))
                if (!(v = parse(*text)))
                    noteLeftOut(*cx.leftOut, namedValue(cx.tag, attr, *text));
        return v;
    };
    const std::optional<qint16> hAlign = alignment("text-align", "align", horizontalAlignment);
    const std::optional<qint16> vAlign = alignment("vertical-align", "valign", verticalAlignment);
    // A data cell without an alignment shows on the left, as in a browser.
    r.HAlign = hAlign.value_or(header ? 1 : 0);
    r.VAlign = vAlign.value_or(1);
    *aligned = hAlign || vAlign;
    *hAligned = hAlign.has_value();

    readCellSize(e, style, "height", r.HeightOn, r.Height, r.HeightPercent, cx);
    readCellSize(e, style, "width", r.WidthOn, r.Width, r.WidthPercent, cx);
    if (const auto c = backgroundOf(e, style)) {
        r.BackColorNothing = 0;
        r.BackColor = *c;
    }
    // The line the HTML5 output draws round every cell of a bordered table.
    const int border = style.lastOf(QLatin1String("border"));
    if (border >= 0 && cx.tableBorder > 0
            && style.value(border).simplified().toLower() == QLatin1String("1px inset gray"))
        style.take(border);

    // The rest is the cell's own style, what may be written of it.
    QStringList notKept;
    const QVector<CssDeclaration> rest = style.rest();
    r.Style = cssText(rest, &notKept);
    const QString prefix = QLatin1String(cx.tag) + QLatin1String(" style: ");
    for (const QString &p : std::as_const(notKept))
        noteLeftOut(*cx.leftOut, prefix + p);
    if (cx.html4 && !r.Style.isEmpty())
        for (const CssDeclaration &d : rest)
            if (!notKept.contains(d.property))
                noteLeftOut(*cx.unwritten, prefix + d.property);

    // HTML reads a bad or zero COLSPAN as 1, and ROWSPAN 0 as "to the end of
    // the row group"; the model keeps counts the span boxes can hold.
    if (const auto a = attribute(e, "colspan")) {
        const auto n = parseDimension(*a);
        r.ColSpanOn = 1;
        r.ColSpan = qint32(std::clamp<qint64>(n && n->value > 0 ? n->value : 1, 1, MaxColSpan));
    }
    if (const auto a = attribute(e, "rowspan")) {
        const auto n = parseDimension(*a);
        qint64 count = n ? n->value : 1;
        if (n && count == 0)
            count = rowsLeft;
        r.RowSpanOn = 1;
        r.RowSpan = qint32(std::clamp<qint64>(count, 1, MaxRowSpan));
    }
    return r;
}

HtmlTable readTable(const ParsedPage &page, const GumboElement &table)
{
    HtmlTable t;
    t.upperCaseTag = table.original_tag.length >= 6
            && QByteArray(table.original_tag.data + 1, 5) == "TABLE";

    t.profile = t.upperCaseTag ? MarkupProfile::Html4 : MarkupProfile::Html5;
    t.id = attribute(table, "id").value_or(QString()).trimmed();
    t.cls = attribute(table, "class").value_or(QString()).simplified();
    noteAttributes(table, "table", {"id", "class", "border", "cellspacing", "width", "bgcolor", "style"},
                   t.leftOut, t.presentational);
    // What lies in the table besides its rows and caption.
    int bodies = 0;
    int feet = 0;
    for (unsigned i = 0; i < table.children.length; ++i) {
        const GumboNode *node = child(table, i);
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        const GumboElement &g = node->v.element;
        switch (g.tag) {
        case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL:
            noteLeftOut(t.leftOut, QString::fromUtf8(gumbo_normalized_tagname(g.tag)));
            break;
        case GUMBO_TAG_TFOOT:
            // Every foot's rows are footer rows; a second one's border is lost.
            if (++feet == 2)
                noteLeftOut(t.leftOut, QStringLiteral("tfoot (2)"));
            noteAttributes(g, "tfoot", {}, t.leftOut, t.presentational);
            break;
        case GUMBO_TAG_TBODY:
            // One body holds every row; a second one's border between them is lost.
            if (++bodies == 2)
                noteLeftOut(t.leftOut, QStringLiteral("tbody (2)"));
            [[fallthrough]];
        case GUMBO_TAG_THEAD:
            noteAttributes(g, gumbo_normalized_tagname(g.tag), {}, t.leftOut, t.presentational);
            break;
        default:
            break;
        }
    }

    InlineStyle style = parseStyle(attribute(table, "style"));
    std::optional<Number> cssBorder;
    if (const int at = style.lastOf(QLatin1String("border-width")); at >= 0) {
        if ((cssBorder = parseCssLength(style.value(at))))
            style.take(at);
    } else if (const int at = style.lastOf(QLatin1String("border")); at >= 0) {
        // The shorthand the HTML5 output writes: "1px outset gray"; its width
        // comes first, and a line of another kind is named.
        const QString value = style.value(at).simplified();
        cssBorder = parseCssLength(value.section(QLatin1Char(' '), 0, 0));
        if (cssBorder && value.section(QLatin1Char(' '), 1).toLower() == QLatin1String("outset gray"))
            style.take(at);
    }
    if (cssBorder && !cssBorder->percent) {
        t.border = int(std::min<qint64>(cssBorder->value, 1000));
    } else if (const auto border = attribute(table, "border")) {
        const auto n = parseDimension(*border);
        t.border = n ? int(std::min<qint64>(n->value, 1000)) : 1; // BORDER alone means 1
    }
    // The output's cell spacing is the border.
    if (const int at = style.lastOf(QLatin1String("border-spacing")); at >= 0) {
        const auto n = parseCssLength(style.value(at));
        if (n && !n->percent && n->value == std::max(t.border, 0))
            style.take(at);
    }
    std::optional<Number> width;
    if (const int at = style.lastOf(QLatin1String("width")); at >= 0) {
        width = parseCssLength(style.value(at));
        if (width)
            style.take(at);
    }
    if (!width)
        if (const auto attr = attribute(table, "width"))
            width = parseDimension(*attr);
    if (width && width->value >= 1
            && width->value <= (width->percent ? MaxTablePercent : MaxTableWidth)) {
        t.widthUnit = width->percent ? WidthUnit::Percent : WidthUnit::Pixels;
        t.width = int(width->value);
    }
    if (const auto c = backgroundOf(table, style)) {
        t.hasBackColor = true;
        t.backColor = *c;
    }
    // The table keeps no style of its own.
    for (const CssDeclaration &d : style.rest())
        noteLeftOut(t.leftOut, QStringLiteral("table style: ") + d.property.left(64));

    const GumboElement *caption = nullptr;
    const std::vector<Row> rows = tableRows(table, &caption, &t.footerRows);
    if (caption) {
        t.hasCaption = true;
        t.caption = page.innerSource(*caption);
        if (t.profile == MarkupProfile::Html4)
            t.caption = captionText(t.caption);
    }

    t.rows = int(rows.size());
    Occupancy taken(t.rows);
    int reach = 0; // the furthest column a span reaches
    for (int y = 0; y < t.rows; ++y) {
        const GumboElement &tr = *rows[size_t(y)].tr;
        noteAttributes(tr, "tr", {}, t.leftOut, t.presentational);
        int x = 0;
        for (unsigned i = 0; i < tr.children.length; ++i) {
            const GumboNode *node = child(tr, i);
            const GumboElement *td = htmlElement(node, GUMBO_TAG_TD);
            const GumboElement *th = htmlElement(node, GUMBO_TAG_TH);
            if (!td && !th)
                continue;
            while (taken.taken(x, y))
                ++x;
            bool aligned = false, hAligned = false;
            const CellContext cx{td ? "td" : "th", t.border, t.profile == MarkupProfile::Html4,
                                 &t.leftOut, &t.unwritten};
            CellRecord record = readCell(page, td ? *td : *th, th != nullptr,
                                         rows[size_t(y)].groupEnd - y, cx, &aligned, &hAligned);
            noteAttributes(td ? *td : *th, td ? "td" : "th",
                           {"class", "style", "align", "valign", "colspan", "rowspan", "width", "height",
                            "bgcolor", "scope"},
                           t.leftOut, t.presentational);
            if (td) {
                t.hasDataCells = true;
                t.dataCellAligned = t.dataCellAligned || aligned;
            }
            // The generator covers the same block for these counts.
            const int width = record.ColSpanOn ? record.ColSpan : 1;
            const int height = record.RowSpanOn ? record.RowSpan : 1;
            taken.take(x, y, width, height);
            t.cols = std::max(t.cols, x + 1);
            reach = std::max(reach, std::min(x + width, TrackedCols));
            if (x < TrackedCols && y < TrackedRows)
                t.cells.push_back({x + 1, y + 1, std::move(record), hAligned});
            x += width;
        }
    }
    // Columns after the last one a cell starts in belong to the table when
    // spans fill them in every row (HTML5 clips spans to the table); a span
    // reaching past a column some row leaves open reaches past the table.
    while (t.cols < reach && taken.filled(t.cols))
        ++t.cols;
    return t;
}

} // namespace

namespace htmltables {

QVector<HtmlTable> readTables(const ParsedPage &page, PageLimit *refused)
{
    if (refused)
        *refused = page.tooComplex() ? page.limit() : PageLimit::None;
    struct Found {
        const GumboElement *table;
        int depth;
        int parent;
    };
    std::vector<Found> found;
    struct Pending {
        const GumboNode *node;
        int depth;
        int parent;
    };
    std::vector<Pending> stack;
    if (page.document())
        stack.push_back({page.document(), 0, -1});
    while (!stack.empty()) {
        Pending p = stack.back();
        stack.pop_back();
        // Template contents are not shown, so they hold no table either.
        if (p.node->type != GUMBO_NODE_ELEMENT && p.node->type != GUMBO_NODE_DOCUMENT)
            continue;
        if (const GumboElement *t = htmlElement(p.node, GUMBO_TAG_TABLE)) {
            found.push_back({t, p.depth, p.parent});
            p.parent = int(found.size()) - 1;
            ++p.depth;
        }
        const GumboVector &children = p.node->type == GUMBO_NODE_DOCUMENT
                ? p.node->v.document.children : p.node->v.element.children;
        for (unsigned i = children.length; i-- > 0;)
            stack.push_back({static_cast<const GumboNode *>(children.data[i]), p.depth, p.parent});
    }

    // Every cell keeps its source, so tables nested in tables copy the page
    // once a level: thousands of levels would take gigabytes.
    size_t copied = 0;
    for (const Found &f : found)
        copied += page.sourceLength(*f.table);
    if (copied > std::max(MaxTablesSource, 2 * size_t(page.source().size()))) {
        if (refused)
            *refused = PageLimit::Memory;
        return {};
    }

    // In the order they start in the page: the walk above meets them so.
    QVector<HtmlTable> tables;
    tables.reserve(qsizetype(found.size()));
    for (const Found &f : found) {
        HtmlTable t = readTable(page, *f.table);
        t.depth = f.depth;
        t.parent = f.parent;
        tables.push_back(std::move(t));
    }
    return tables;
}

} // namespace htmltables
