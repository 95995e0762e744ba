#include "core/io/text_table.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QVector>

#include "core/io/cell_runs.h"
#include "core/io/publish_formats.h"
#include "core/io/publish_writers_p.h"
#include "core/model/grid_text.h"
#include "core/text/text_codec.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int MaxSize = CellTable::MaxIndex - 1;

// The grid's texts, row by row, a cell under another's span left empty.
std::vector<QStringList> shownTexts(const TableModel &model, bool &flattened)
{
    const int rows = qBound(1, int(model.TableRows), MaxSize);
    const int cols = qBound(1, int(model.TableCols), MaxSize);
    std::vector<std::vector<bool>> covered(std::size_t(rows + 1), std::vector<bool>(std::size_t(cols + 1)));
    std::vector<QStringList> out(static_cast<std::size_t>(rows));
    flattened = false;
    for (int r = 1; r <= rows; ++r) {
        QStringList &line = out[std::size_t(r - 1)];
        for (int c = 1; c <= cols; ++c) {
            if (covered[std::size_t(r)][std::size_t(c)]) {
                line << QString();
                continue;
            }
            const CellRecord &rec = model.Cells(c, r);
            line << HtmlToGridText(rec.Text);
            const qint64 spanCols = rec.ColSpanOn != 0 ? std::max<qint64>(1, rec.ColSpan) : 1;
            const qint64 spanRows = rec.RowSpanOn != 0 ? std::max<qint64>(1, rec.RowSpan) : 1;
            const int lastCol = int(std::min<qint64>(cols, c + spanCols - 1));
            const int lastRow = int(std::min<qint64>(rows, r + spanRows - 1));
            for (int y = r; y <= lastRow; ++y)
                for (int x = c; x <= lastCol; ++x)
                    if (x != c || y != r) {
                        covered[std::size_t(y)][std::size_t(x)] = true;
                        flattened = true;
                    }
        }
    }
    return out;
}

// Quoted where needed, as spreadsheets write both CSV and TSV.
QString quotedField(const QString &text, QChar sep)
{
    if (!text.contains(sep) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
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
// separators, line breaks and doubled quotes.
std::vector<QStringList> splitDelimited(QStringView text, QChar sep)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    bool wasQuoted = false;
    auto endValue = [&] {
        row << value;
        value.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endValue();
        rows.push_back(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    value += ch;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                value += ch;
            }
        } else if (ch == u'"' && value.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (ch == sep) {
            endValue();
        } else if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRow();
        } else {
            value += ch;
        }
    }
    if (!value.isEmpty() || !row.isEmpty() || wasQuoted)
        endRow();
    return rows;
}

QString cellMarkup(const QString &value)
{
    QString v = value.toHtmlEscaped();
    v.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    v.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    v.replace(QLatin1Char('\n'), QLatin1String("<BR>"));
    return v;
}

} // namespace

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

TextTableOutput writeTextTable(const TableModel &model, TextTableFormat format)
{
    if (format == TextTableFormat::Markdown)
        return writeMarkdown(model);
    TextTableOutput result;
    const std::vector<QStringList> rows = shownTexts(model, result.flattened);
    QString out;
    if (format == TextTableFormat::Csv) {
        for (const QStringList &row : rows) {
            QStringList fields;
            for (const QString &t : row)
                fields << quotedField(t, QLatin1Char(','));
            out += fields.join(QLatin1Char(','));
            out += QLatin1String("\r\n");
        }
        result.bytes = QByteArray("\xEF\xBB\xBF") + out.toUtf8();
    } else if (format == TextTableFormat::Tsv) {
        for (const QStringList &row : rows) {
            QStringList fields;
            for (const QString &t : row)
                fields << quotedField(t, QLatin1Char('\t'));
            out += fields.join(QLatin1Char('\t'));
            out += QLatin1Char('\n');
        }
        result.bytes = out.toUtf8();
    }
    if (result.flattened)
        result.notes << flattenedSpansNote();
    return result;
}

TextTableRead readTextTable(const QByteArray &bytes, TextTableFormat format, TableModel &model)
{
    TextTableRead result;
    QByteArray data = bytes;
    QString text;
    if (data.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(data.constData() + 3, data.size() - 3);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(data);
        if (utf8.hasError())
            text = decodeCp932(data);
    }
    const QChar sep = format == TextTableFormat::Tsv ? QLatin1Char('\t') : QLatin1Char(',');
    std::vector<QStringList> rows = splitDelimited(text, sep);
    result.rows = int(rows.size());
    for (const QStringList &row : rows)
        result.cols = std::max(result.cols, int(row.size()));
    if (result.rows == 0 || result.cols == 0 || result.rows > MaxSize || result.cols > MaxSize)
        return result;

    TableModel fresh;
    fresh.TableRows = result.rows;
    fresh.TableCols = result.cols;
    for (int r = 0; r < result.rows; ++r) {
        const QStringList &row = rows[std::size_t(r)];
        for (int c = 0; c < row.size(); ++c)
            fresh.Cells(c + 1, r + 1).Text = cellMarkup(row.at(c));
    }
    fresh.FileName = model.FileName;
    model = fresh;
    result.ok = true;
    return result;
}
