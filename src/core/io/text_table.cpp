#include "core/io/text_table.h"

#include <QFileInfo>

#include "core/io/cell_runs.h"
#include "core/io/compression.h"
#include "core/io/publish_formats.h"
#include "core/io/publish_writers_p.h"
#include "core/model/grid_text.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Calls cell(col, row, shown) for every cell of the table, row by row, with
// the grid's text; a cell under another's span gives an empty text. True when
// a span was flattened so. Memory by the columns only: for each column the
// last row a span already written covers.
template <typename Cell>
bool walkShownCells(const TableModel &model, Cell &&cell)
{
    const int rows = qBound(1, int(model.TableRows), TableLimits::MaxRows);
    const int cols = qBound(1, int(model.TableCols), TableLimits::MaxCols);
    std::vector<int> coveredTo(std::size_t(cols) + 1, 0);
    bool flattened = false;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            if (coveredTo[std::size_t(c)] >= r) {
                cell(c, r, QString());
                continue;
            }
            const CellRecord &rec = model.Cells(c, r);
            cell(c, r, HtmlToGridText(rec.Text));
            const qint64 spanCols = rec.ColSpanOn != 0 ? std::max<qint64>(1, rec.ColSpan) : 1;
            const qint64 spanRows = rec.RowSpanOn != 0 ? std::max<qint64>(1, rec.RowSpan) : 1;
            const int lastCol = int(std::min<qint64>(cols, c + spanCols - 1));
            const int lastRow = int(std::min<qint64>(rows, r + spanRows - 1));
            if (lastCol == c && lastRow == r)
                continue;
            flattened = true;
            for (int x = c; x <= lastCol; ++x)
                coveredTo[std::size_t(x)] = std::max(coveredTo[std::size_t(x)], lastRow);
        }
    }
    return flattened;
}

// A sign, digits and at most one decimal point: a spreadsheet reads it as the
// number it is, never as a formula.
bool isPlainNumber(const QString &text)
{
    qsizetype i = text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')) ? 1 : 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            digits = true;
        else if (ch == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// Quoted where needed, as spreadsheets write both CSV and TSV; a line break
// inside a value is LF, as they write it.
void appendDelimitedField(QString &out, const QString &shown, QChar sep, const TextTableOptions &options)
{
    const QString text = options.keepFormulas ? shown : formulaGuarded(shown);
    if (!text.contains(sep) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        out += text;
        return;
    }
    // One pass of appends: a cell of many quotes or lines stays linear.
    out += QLatin1Char('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('"')) {
            out += QLatin1String("\"\"");
        } else if (ch == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            out += ch;
        }
    }
    out += QLatin1Char('"');
}

class MarkdownSyntax : public InlineSyntax
{
public:
    // Punctuation that Markdown would read is escaped.
    QString escaped(QStringView text, bool, bool) const override
    {
        QString out;
        out.reserve(text.size() + 8);
        for (const QChar ch : text) {
            switch (ch.unicode()) {
            case u'\\': case u'`': case u'*': case u'_': case u'[': case u']': case u'<': case u'>':
            case u'|': case u'~': case u'&': case u'!': case u'#': case u'$':
                out += QLatin1Char('\\');
                out += ch;
                break;
            default:
                out += ch;
            }
        }
        return out;
    }

    QString open(InlineMark mark, const QString &) const override
    {
        switch (mark) {
        case InlineMark::Link: return QStringLiteral("[");
        case InlineMark::Bold: return QStringLiteral("**");
        case InlineMark::Italic: return QStringLiteral("*");
        }
        return QString();
    }

    QString close(InlineMark mark, const QString &href) const override
    {
        switch (mark) {
        case InlineMark::Link:
            // A "|" would end the table cell even inside the address.
            return QLatin1String("](") + publish::encodedHref(href, QLatin1String("()<>|\\`")) + QLatin1Char(')');
        case InlineMark::Bold: return QStringLiteral("**");
        case InlineMark::Italic: return QStringLiteral("*");
        }
        return QString();
    }

    // "***" then "*" would read as one run of four; an empty comment shows nothing.
    QString between() const override { return QStringLiteral("<!-- -->"); }

    // "*" opens only before a character that is not punctuation unless a
    // blank or punctuation stands before it, and closes the other way round:
    // "は**「税込」**" is no bold. Where it would not work, HTML's own tags do.
    bool fits(InlineMark mark, QChar before, QChar first, QChar last, QChar after) const override
    {
        if (mark == InlineMark::Link)
            return true;
        for (const bool symbols : {false, true}) { // readers differ on symbols
            auto punct = [symbols](QChar c) {
                return c.unicode() < 0x80 ? c.isPrint() && !c.isLetterOrNumber() && c != u' '
                                          : c.isPunct() || (symbols && c.isSymbol());
            };
            auto blank = [](QChar c) { return c.isNull() || c.isSpace(); };
            const bool opens = !blank(first) && (!punct(first) || blank(before) || punct(before));
            const bool closes = !blank(last) && (!punct(last) || blank(after) || punct(after));
            if (!opens || !closes)
                return false;
        }
        return true;
    }
    QString openOtherwise(InlineMark mark, const QString &href) const override
    {
        return mark == InlineMark::Bold ? QStringLiteral("<strong>") : mark == InlineMark::Italic ? QStringLiteral("<em>")
                                                                                                : open(mark, href);
    }
    QString closeOtherwise(InlineMark mark, const QString &href) const override
    {
        return mark == InlineMark::Bold ? QStringLiteral("</strong>") : mark == InlineMark::Italic ? QStringLiteral("</em>")
                                                                                                 : close(mark, href);
    }
};

// A GitHub-flavoured pipe table: the first row is the header row, each
// column aligned as most of its data cells below it are; a joined cell's
// text is written once, empty cells where it spanned.
TextTableOutput writeMarkdown(const TableModel &model)
{
    TextTableOutput result;
    const PublishedTable table(model);
    const QVector<int> columns = table.columnAlignments(2, false);
    const MarkdownSyntax syntax;
    SlotWalker walker(table);
    QString out;
    bool alignmentLost = false;
    for (int r = 1; r <= table.rows(); ++r) {
        const std::vector<PublishedCell> &taken = walker.row(r);
        QStringList fields;
        for (int c = 1; c <= table.cols(); ++c) {
            const PublishedCell &cell = taken[std::size_t(c - 1)];
            QStringList lines;
            if (cell.record && cell.row == r && cell.col == c) {
                // The header row reads as one; a header cell below it is bold.
                for (const TextLine &line : cellLines(cell.record->Text))
                    lines << renderLine(line, syntax, r > 1 && cell.header);
                if (r > 1 && !cell.header && cell.colSpan == 1)
                    alignmentLost = alignmentLost || cell.hAlign != std::max(0, columns[c - 1]);
            }
            fields << lines.join(QLatin1String("<br>"));
        }
        out += QLatin1String("| ") + fields.join(QLatin1String(" | ")) + QLatin1String(" |\n");
        if (r == 1) {
            out += QLatin1Char('|');
            for (const int a : columns)
                out += a == 0 ? QLatin1String(" :-- |") : a == 1 ? QLatin1String(" :-: |")
                        : a == 2 ? QLatin1String(" --: |") : QLatin1String(" --- |");
            out += QLatin1Char('\n');
        }
    }
    result.flattened = table.hasSpans();
    if (result.flattened)
        result.notes << flattenedSpansNote();
    if (alignmentLost)
        result.notes << alignmentByColumnNote();
    result.bytes = out.toUtf8();
    return result;
}

// Values separated by sep, records by CR LF, LF or CR; a quoted value may hold
// separators, line breaks and doubled quotes, a quote inside an unquoted value
// is text. Fed a piece of the text at a time (a doubled quote or a CR LF may
// be split between two), it hands the sink each character of a value, the end
// of each value and of each record. NUL characters are left out and counted.
template <typename Sink>
class Splitter
{
public:
    Splitter(QChar sep, Sink &sink) : m_sep(sep.unicode()), m_sink(sink) {}

    void feed(QStringView piece)
    {
        const char16_t *p = piece.utf16();
        const char16_t *const end = p + piece.size();
        while (p < end) {
            // Most of a text is runs of plain value characters: handed on whole.
            if (!m_quoteSeen && !m_afterCr) {
                const char16_t *q = p;
                if (m_quoted) {
                    while (q < end && *q != u'"' && *q != 0)
                        ++q;
                } else if (m_hasChars || m_wasQuoted) {
                    while (q < end && *q != m_sep && *q != u'\r' && *q != u'\n' && *q != 0)
                        ++q;
                }
                if (q > p) {
                    m_hasChars = true;
                    m_sink.addRun(QStringView(p, q - p));
                    p = q;
                    continue;
                }
            }
            const char16_t ch = *p++;
            if (ch == 0)
                ++nuls;
            else
                step(ch);
        }
    }

    // The last record, also without a line end; an unclosed quote ends here.
    void finish()
    {
        m_quoteSeen = false;
        m_afterCr = false;
        if (m_hasChars || m_rowHasValues || m_wasQuoted)
            endRow();
    }

    qint64 nuls = 0;

private:
    void step(char16_t ch)
    {
        if (m_quoteSeen) {
            m_quoteSeen = false;
            if (ch == u'"') {
                add(ch); // a doubled quote inside quotes
                return;
            }
            m_quoted = false; // the quote before closed them
        }
        if (m_afterCr) {
            m_afterCr = false;
            if (ch == u'\n')
                return;
        }
        if (m_quoted) {
            if (ch == u'"')
                m_quoteSeen = true;
            else
                add(ch);
        } else if (ch == u'"' && !m_hasChars && !m_wasQuoted) {
            m_quoted = m_wasQuoted = true;
        } else if (ch == m_sep) {
            endValue();
        } else if (ch == u'\r' || ch == u'\n') {
            endRow();
            m_afterCr = ch == u'\r';
        } else {
            add(ch);
        }
    }
    void add(char16_t ch)
    {
        m_hasChars = true;
        m_sink.add(ch);
    }
    void endValue()
    {
        m_sink.endValue();
        m_hasChars = m_wasQuoted = false;
        m_rowHasValues = true;
    }
    void endRow()
    {
        endValue();
        m_sink.endRow();
        m_rowHasValues = false;
    }

    const char16_t m_sep;
    Sink &m_sink;
    bool m_quoted = false, m_wasQuoted = false, m_quoteSeen = false, m_afterCr = false;
    bool m_hasChars = false, m_rowHasValues = false;
};

// The first reading: how many records and values, nothing kept.
struct ShapeCounter {
    qint64 rows = 0, cols = 0, inRow = 0;
    void add(char16_t) {}
    void addRun(QStringView) {}
    void endValue() { ++inRow; }
    void endRow()
    {
        ++rows;
        cols = std::max(cols, inRow);
        inRow = 0;
    }
};

// The second: each value into its cell as markup, HTML-escaped as
// QString::toHtmlEscaped escapes, each line break (CR LF, LF or CR) "<BR>".
// Built by appends only, so one huge value (an unclosed quote) stays linear.
struct CellFiller {
    CellFiller(TableModel &m, qint64 r, qint64 c) : model(m), rows(r), cols(c) {}
    TableModel &model;
    qint64 rows, cols;
    int col = 1, row = 1;
    QString text;
    bool afterCr = false;

    void add(char16_t ch)
    {
        switch (ch) {
        case u'<': text += QLatin1String("&lt;"); break;
        case u'>': text += QLatin1String("&gt;"); break;
        case u'&': text += QLatin1String("&amp;"); break;
        case u'"': text += QLatin1String("&quot;"); break;
        case u'\r':
            text += QLatin1String("<BR>");
            afterCr = true;
            return;
        case u'\n':
            if (!afterCr)
                text += QLatin1String("<BR>");
            break;
        default: text += QChar(ch);
        }
        afterCr = false;
    }
    void addRun(QStringView run)
    {
        const char16_t *from = run.utf16();
        const char16_t *const end = from + run.size();
        for (const char16_t *p = from; p < end; ++p) {
            switch (*p) {
            case u'<': case u'>': case u'&': case u'"': case u'\r': case u'\n':
                if (p > from) {
                    text.append(QStringView(from, p - from));
                    afterCr = false;
                }
                add(*p);
                from = p + 1;
                break;
            default:
                break;
            }
        }
        if (from < end) {
            text.append(QStringView(from, end - from));
            afterCr = false;
        }
    }
    void endValue()
    {
        // The shape was counted first; a cell beyond it is never reached.
        if (!text.isEmpty() && row <= rows && col <= cols) {
            QString &cell = model.Cells(col, row).Text;
            cell = std::move(text);
            cell.squeeze();
        }
        text = QString();
        afterCr = false;
        ++col;
    }
    void endRow()
    {
        ++row;
        col = 1;
    }
};

template <typename Sink>
qint64 splitText(const QByteArray &bytes, DetectedEncoding encoding, QChar sep, Sink &sink, qint64 *replaced)
{
    Splitter<Sink> splitter(sep, sink);
    PieceDecoder decoder(bytes, encoding);
    QString piece;
    while (decoder.next(piece))
        splitter.feed(piece);
    splitter.finish();
    if (replaced)
        *replaced = decoder.replaced();
    return splitter.nuls;
}

} // namespace

QString formulaGuarded(const QString &text)
{
    if (text.isEmpty())
        return text;
    switch (text.at(0).unicode()) {
    case u'+': case u'-':
        if (isPlainNumber(text))
            return text;
        Q_FALLTHROUGH();
    case u'=': case u'@': case u'\t': case u'\r':
        return QLatin1Char('\'') + text;
    default:
        return text;
    }
}

std::optional<TextTableFormat> textTableFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv"))
        return TextTableFormat::Csv;
    if (suffix == QLatin1String("tsv"))
        return TextTableFormat::Tsv;
    if (suffix == QLatin1String("md"))
        return TextTableFormat::Markdown;
    return std::nullopt;
}

TextTableOutput writeTextTable(const TableModel &model, TextTableFormat format, TextTableOptions options)
{
    TextTableOutput result;
    QString out;
    if (format == TextTableFormat::Markdown)
        return writeMarkdown(model);
    const bool csv = format == TextTableFormat::Csv;
    const QChar sep = csv ? QLatin1Char(',') : QLatin1Char('\t');
    const int cols = qBound(1, int(model.TableCols), TableLimits::MaxCols);
    result.flattened = walkShownCells(model, [&](int c, int, const QString &shown) {
        if (c > 1)
            out += sep;
        appendDelimitedField(out, shown, sep, options);
        if (c == cols)
            out += csv ? QLatin1String("\r\n") : QLatin1String("\n");
    });
    result.bytes = csv ? QByteArray("\xEF\xBB\xBF") + out.toUtf8() : out.toUtf8();
    if (result.flattened)
        result.notes << flattenedSpansNote();
    return result;
}

TextTableRead readTextTable(const QByteArray &bytes, TextTableFormat format, TableModel &model)
{
    TextTableRead result;
    if (bytes.size() > MaxTableTextBytes) {
        result.failure = TextTableRead::TooLarge;
        return result;
    }
    const QChar sep = format == TextTableFormat::Tsv ? QLatin1Char('\t') : QLatin1Char(',');
    try {
        const DetectedEncoding encoding = detectTextEncoding(bytes);
        result.encoding = encoding.encoding;
        ShapeCounter shape;
        result.nulsDropped = splitText(bytes, encoding, sep, shape, &result.replaced);
        result.rows = shape.rows;
        result.cols = shape.cols;
        if (result.rows == 0 || result.cols == 0) {
            result.failure = TextTableRead::Empty;
            return result;
        }
        if (result.rows > TableLimits::MaxRows || result.cols > TableLimits::MaxCols) {
            result.failure = TextTableRead::TooLarge;
            return result;
        }
        TableModel fresh;
        fresh.TableRows = qint32(result.rows);
        fresh.TableCols = qint32(result.cols);
        CellFiller filler(fresh, result.rows, result.cols);
        splitText(bytes, encoding, sep, filler, nullptr);
        fresh.FileName = model.FileName;
        model = std::move(fresh);
    } catch (const std::bad_alloc &) {
        // Out of memory for this file: its own failure, not the program's end.
        result.failure = TextTableRead::OutOfMemory;
        return result;
    }
    result.ok = true;
    return result;
}
