// OpenDocument spreadsheets: content.xml holds every sheet, each cell with the
// text the spreadsheet showed when it saved it (its paragraphs), so numbers,
// dates and currencies come formatted already. Styles say bold and alignment;
// a cell without a style of its own takes its row's or its column's.
#include "core/import/spreadsheet_p.h"

#include <QHash>
#include <QVector>

#include <algorithm>
#include <climits>

namespace {

const QString OfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString StyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString TextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString TableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString FoNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString DrawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString CalcExtNs = QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");

// A spelled-out repeat count: 1 when missing or nonsense, never past what a
// 64-bit count holds.
qint64 countOf(QStringView text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok && n >= 1 ? std::min<qint64>(n, qint64(1) << 40) : 1;
}

// Positions advance by such counts, saturating far past any limit.
qint64 advanced(qint64 at, qint64 by)
{
    return std::min<qint64>(at + by, qint64(1) << 50);
}

// One cell style as written; unset fields come from its parent.
struct OdsStyle {
    QString parent;
    int bold = -1;        // -1 unset, 0 normal, 1 bold
    int align = -2;       // -2 unset, -1 by value type, 0..2
    bool background = false;
    bool font = false;
    bool border = false;
    bool common = false;  // a named style of styles.xml, or the default: its look is the document's own
};

class OdsStyles
{
public:
    explicit OdsStyles(BookState &state) : m_state(state) {}

    // A style:style or style:default-style just started in part.
    void read(XmlPart &part, bool common)
    {
        const bool isDefault = part.name() == u"default-style";
        if (part.attr(StyleNs, u"family") != u"table-cell") {
            part.skipElement();
            return;
        }
        if (m_styles.size() >= SheetLimits::MaxStyles) {
            m_state.tooComplex(SheetLimit::Styles);
            return;
        }
        const QString name = isDefault ? QString() : part.attr(StyleNs, u"name").toString();
        OdsStyle s;
        s.parent = isDefault ? QString() : part.attr(StyleNs, u"parent-style-name").toString();
        if (!isDefault && s.parent.isEmpty())
            s.parent = QStringLiteral("\n"); // the default style, by a name no style has
        s.common = common || isDefault || name == QLatin1String("Default");
        const int level = part.depth() - 1;
        bool alignByValue = false;
        while (part.next() && !(part.isEnd() && part.depth() == level)) {
            if (!part.isStart())
                continue;
            const QStringView n = part.name();
            if (n == u"table-cell-properties") {
                const QStringView bg = part.attr(FoNs, u"background-color");
                s.background = !bg.isEmpty() && bg != u"transparent";
                for (const char16_t *side : {u"border", u"border-top", u"border-bottom", u"border-left", u"border-right"}) {
                    const QStringView b = part.attr(FoNs, QStringView(side));
                    s.border = s.border || (!b.isEmpty() && b != u"none");
                }
                alignByValue = part.attr(StyleNs, u"text-align-source") == u"value-type";
            } else if (n == u"paragraph-properties") {
                const QStringView a = part.attr(FoNs, u"text-align");
                if (a == u"start" || a == u"left" || a == u"justify")
                    s.align = 0;
                else if (a == u"center")
                    s.align = 1;
                else if (a == u"end" || a == u"right")
                    s.align = 2;
            } else if (n == u"text-properties") {
                const QStringView w = part.attr(FoNs, u"font-weight");
                if (!w.isEmpty())
                    s.bold = w == u"bold" || w.toInt() >= 600 ? 1 : 0;
                s.font = !part.attr(FoNs, u"color").isEmpty() || !part.attr(FoNs, u"font-size").isEmpty()
                        || !part.attr(StyleNs, u"font-name").isEmpty() || part.attr(FoNs, u"font-style") == u"italic"
                        || (!part.attr(StyleNs, u"text-underline-style").isEmpty()
                            && part.attr(StyleNs, u"text-underline-style") != u"none")
                        || (!part.attr(StyleNs, u"text-line-through-style").isEmpty()
                            && part.attr(StyleNs, u"text-line-through-style") != u"none");
            }
        }
        if (alignByValue)
            s.align = -1;
        m_styles.insert(isDefault ? QStringLiteral("\n") : name, s);
        m_resolved.clear();
    }

    // The look of a named style through its parents (a few at most; a loop ends).
    CellLook look(const QString &name)
    {
        const auto found = m_resolved.constFind(name);
        if (found != m_resolved.constEnd())
            return *found;
        CellLook l;
        int bold = -1, align = -2;
        QString at = name.isEmpty() ? QStringLiteral("Default") : name;
        for (int hop = 0; hop < 16; ++hop) {
            const auto it = m_styles.constFind(at);
            if (it == m_styles.constEnd())
                break;
            if (bold == -1)
                bold = it->bold;
            if (align == -2)
                align = it->align;
            if (!it->common) {
                l.background = l.background || it->background;
                l.font = l.font || it->font;
                l.border = l.border || it->border;
            }
            if (at == QLatin1String("\n"))
                break;
            at = it->parent;
        }
        l.bold = bold == 1;
        l.align = qint8(align < -1 ? -1 : align);
        if (m_resolved.size() < SheetLimits::MaxStyles)
            m_resolved.insert(name, l);
        return l;
    }

private:
    BookState &m_state;
    QHash<QString, OdsStyle> m_styles;
    QHash<QString, CellLook> m_resolved;
};

// The default cell styles of the columns, as runs: a column repeated a
// million times is one entry.
struct ColumnRun {
    qint64 first;
    QString style;
};

class OdsSheetReader
{
public:
    OdsSheetReader(XmlPart &part, OdsStyles &styles, SpreadsheetSheet &sheet, BookState &state)
        : m_part(part), m_styles(styles), m_sheet(sheet), m_builder(sheet, state), m_state(state)
    {
    }

    // The table:table element has just started.
    void read()
    {
        const int level = m_part.depth() - 1;
        while (m_part.next() && !(m_part.isEnd() && m_part.depth() == level)) {
            if (!m_part.isStart())
                continue;
            const QStringView n = m_part.name();
            const bool table = m_part.ns() == TableNs;
            if (table && n == u"table-column") {
                readColumn();
            } else if (table && n == u"table-row") {
                readRow();
            } else if (table && (n == u"table-rows" || n == u"table-row-group" || n == u"table-header-rows"
                                 || n == u"table-columns" || n == u"table-column-group" || n == u"table-header-columns")) {
                continue; // their rows and columns follow inside
            } else if (table && n == u"shapes") {
                m_builder.leaveOut(LeftOut::pictures());
                m_part.skipElement();
            } else if (m_part.ns() == CalcExtNs && n == u"conditional-formats") {
                m_builder.leaveOut(LeftOut::conditional());
                m_part.skipElement();
            } else {
                m_part.skipElement();
            }
        }
    }

private:
    void readColumn()
    {
        const qint64 repeat = countOf(m_part.attr(TableNs, u"number-columns-repeated"));
        const QString style = m_part.attr(TableNs, u"default-cell-style-name").toString();
        const QStringView visibility = m_part.attr(TableNs, u"visibility");
        if (!visibility.isEmpty() && visibility != u"visible")
            m_hiddenColumns = true;
        if (m_columns.isEmpty() || m_columns.last().style != style) {
            if (m_columns.size() < SheetLimits::MaxStyles)
                m_columns.push_back({m_nextColumn, style});
        }
        m_nextColumn = advanced(m_nextColumn, repeat);
        m_part.skipElement();
    }

    QString columnStyle(qint64 col) const
    {
        const auto it = std::upper_bound(m_columns.cbegin(), m_columns.cend(), col,
                                         [](qint64 c, const ColumnRun &r) { return c < r.first; });
        return it == m_columns.cbegin() ? QString() : (it - 1)->style;
    }

    struct Pending {
        SheetCell cell;
        qint64 repeat;
    };

    void readRow()
    {
        const qint64 repeat = countOf(m_part.attr(TableNs, u"number-rows-repeated"));
        const QString rowStyle = m_part.attr(TableNs, u"default-cell-style-name").toString();
        const QStringView visibility = m_part.attr(TableNs, u"visibility");
        const bool hidden = !visibility.isEmpty() && visibility != u"visible";
        const int level = m_part.depth() - 1;
        QVector<Pending> cells;
        qint64 col = 1;
        while (m_part.next() && !(m_part.isEnd() && m_part.depth() == level)) {
            if (!m_part.isStart())
                continue;
            const QStringView n = m_part.name();
            if (m_part.ns() == TableNs && (n == u"table-cell" || n == u"covered-table-cell")) {
                const qint64 cellRepeat = countOf(m_part.attr(TableNs, u"number-columns-repeated"));
                SheetCell cell;
                readCell(cell, col, rowStyle);
                if (!cell.text.isEmpty() || cell.colSpan > 1 || cell.rowSpan > 1)
                    cells.push_back({cell, cellRepeat});
                col = advanced(col, cellRepeat);
            } else {
                m_part.skipElement();
            }
        }
        if (m_state.failed())
            return;
        if (!cells.isEmpty() && (hidden || m_hiddenColumns))
            m_builder.leaveOut(LeftOut::hiddenRows());
        for (Pending &p : cells) {
            p.cell.row = int(std::min<qint64>(m_row, INT_MAX));
            m_builder.put(p.cell, p.repeat, repeat);
        }
        m_row = advanced(m_row, repeat);
    }

    // A cell element has just started; its position is col of the current row.
    void readCell(SheetCell &cell, qint64 col, const QString &rowStyle)
    {
        cell.col = int(std::min<qint64>(col, INT_MAX));
        const bool covered = m_part.name() == u"covered-table-cell";
        cell.colSpan = covered ? 1 : int(std::min<qint64>(countOf(m_part.attr(TableNs, u"number-columns-spanned")), INT_MAX));
        cell.rowSpan = covered ? 1 : int(std::min<qint64>(countOf(m_part.attr(TableNs, u"number-rows-spanned")), INT_MAX));
        QString style = m_part.attr(TableNs, u"style-name").toString();
        if (style.isEmpty())
            style = rowStyle.isEmpty() ? columnStyle(col) : rowStyle;
        const QStringView type = m_part.attr(OfficeNs, u"value-type");
        cell.number = type == u"float" || type == u"percentage" || type == u"currency" || type == u"date"
                || type == u"time" || type == u"boolean";
        if (!m_part.attr(TableNs, u"formula").isEmpty())
            m_builder.leaveOut(LeftOut::formulas());
        if (!m_part.attr(TableNs, u"content-validation-name").isEmpty())
            m_builder.leaveOut(LeftOut::validation());
        // The value itself, for a cell written without its shown text.
        QString value;
        for (const char16_t *a : {u"string-value", u"value", u"date-value", u"time-value", u"boolean-value"}) {
            value = m_part.attr(OfficeNs, QStringView(a)).toString();
            if (!value.isEmpty())
                break;
        }
        const CellLook look = m_styles.look(style);
        cell.bold = look.bold;
        cell.align = look.align;

        QString text;
        int paragraphs = 0;
        int inParagraph = 0;      // depth of text:p / text:h around the text
        bool pendingSpace = false; // collapsed white space, written only before more text
        const int level = m_part.depth() - 1;
        while (m_part.next() && !(m_part.isEnd() && m_part.depth() == level)) {
            if (m_part.isText()) {
                if (inParagraph == 0)
                    continue;
                // ODF collapses white space in paragraphs: explicit spaces are text:s.
                for (const QChar ch : m_part.xml().text()) {
                    if (ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r') {
                        pendingSpace = true;
                        continue;
                    }
                    if (pendingSpace && !text.isEmpty() && !text.endsWith(u'\n'))
                        text += u' ';
                    pendingSpace = false;
                    text += ch;
                }
            } else if (m_part.isStart()) {
                const QStringView n = m_part.name();
                const QStringView ns = m_part.ns();
                if (ns == TextNs && (n == u"p" || n == u"h")) {
                    if (inParagraph == 0 && paragraphs++ > 0)
                        text += u'\n';
                    ++inParagraph;
                    pendingSpace = false;
                } else if (ns == TextNs && n == u"s") {
                    flushSpace(text, pendingSpace);
                    text += QString(int(std::min<qint64>(countOf(m_part.attr(TextNs, u"c")), 1024)), u' ');
                } else if (ns == TextNs && n == u"tab") {
                    flushSpace(text, pendingSpace);
                    text += u'\t';
                } else if (ns == TextNs && n == u"line-break") {
                    text += u'\n';
                    pendingSpace = false;
                } else if (ns == TextNs && n == u"span") {
                    if (!m_part.attr(TextNs, u"style-name").isEmpty())
                        m_builder.leaveOut(LeftOut::richText());
                } else if (ns == TextNs && n == u"a") {
                    m_builder.leaveOut(LeftOut::links());
                } else if (ns == OfficeNs && n == u"annotation") {
                    m_builder.leaveOut(LeftOut::comments());
                    m_part.skipElement();
                } else if (ns == DrawNs) {
                    m_builder.leaveOut(LeftOut::pictures());
                    m_part.skipElement();
                }
                if (text.size() > SheetLimits::MaxTextChars) {
                    m_state.tooComplex(SheetLimit::Text);
                    return;
                }
            } else if (m_part.isEnd() && m_part.ns() == TextNs && (m_part.name() == u"p" || m_part.name() == u"h")) {
                if (inParagraph > 0)
                    --inParagraph;
                pendingSpace = false;
            }
        }
        cell.text = paragraphs == 0 ? value : text;
        if (cell.text.size() > SheetLimits::MaxTextChars)
            m_state.tooComplex(SheetLimit::Text);
        if (!cell.text.isEmpty()) {
            if (look.background)
                m_builder.leaveOut(LeftOut::background());
            if (look.font)
                m_builder.leaveOut(LeftOut::fonts());
            if (look.border)
                m_builder.leaveOut(LeftOut::borders());
        }
    }

    static void flushSpace(QString &text, bool &pendingSpace)
    {
        if (pendingSpace && !text.isEmpty() && !text.endsWith(u'\n'))
            text += u' ';
        pendingSpace = false;
    }

    XmlPart &m_part;
    OdsStyles &m_styles;
    SpreadsheetSheet &m_sheet;
    SheetBuilder m_builder;
    BookState &m_state;
    QVector<ColumnRun> m_columns;
    qint64 m_nextColumn = 1;
    qint64 m_row = 1;
    bool m_hiddenColumns = false;
};

// Cell styles of one part: office:styles (named ones) and office:automatic-styles.
void readStyles(XmlPart &part, OdsStyles &styles, bool commonOnly)
{
    while (part.next()) {
        if (!part.isStart())
            continue;
        const QStringView n = part.name();
        if (part.ns() == StyleNs && (n == u"style" || n == u"default-style")) {
            styles.read(part, commonOnly);
        } else if (part.ns() == OfficeNs && n == u"body") {
            return;
        }
    }
}

} // namespace

void readOdsPackage(const ZipPackage &package, SpreadsheetBook &book, BookState &state)
{
    OdsStyles styles(state);
    {
        XmlPart common(package, QStringLiteral("styles.xml"));
        readStyles(common, styles, true);
    }
    if (state.failed())
        return;
    XmlPart content(package, QStringLiteral("content.xml"));
    if (!content.found()) {
        state.damaged();
        return;
    }
    bool spreadsheet = false;
    while (content.next()) {
        if (!content.isStart())
            continue;
        const QStringView n = content.name();
        const QStringView ns = content.ns();
        if (ns == StyleNs && (n == u"style" || n == u"default-style")) {
            styles.read(content, false);
        } else if (ns == OfficeNs && n == u"spreadsheet") {
            spreadsheet = true;
        } else if (ns == OfficeNs && (n == u"text" || n == u"drawing" || n == u"presentation")) {
            break; // another kind of document
        } else if (spreadsheet && ns == TableNs && n == u"table") {
            if (book.sheets.size() >= SheetLimits::MaxSheets) {
                state.tooComplex(SheetLimit::Sheets);
                return;
            }
            book.sheets.push_back(SpreadsheetSheet());
            SpreadsheetSheet &sheet = book.sheets.last();
            sheet.name = content.attr(TableNs, u"name").toString();
            if (sheet.name.isEmpty())
                sheet.name = QString::number(book.sheets.size());
            OdsSheetReader(content, styles, sheet, state).read();
        } else if (spreadsheet && ns == TableNs && (n == u"named-expressions" || n == u"database-ranges"
                                                     || n == u"content-validations")) {
            content.skipElement();
        }
    }
    // A package of another kind (a text document) is not a workbook.
    if (!spreadsheet)
        state.damaged();
}
