#include "core/io/text_table.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QVector>

#include "core/model/grid_text.h"
#include "core/text/text_codec.h"

#include <algorithm>
#include <vector>

namespace {



// The grid's texts, row by row, a cell under another's span left empty.
std::vector<QStringList> shownTexts(const TableModel &model, bool &flattened)
{
    const int rows = qBound(1, int(model.TableRows), TableLimits::MaxRows);
    const int cols = qBound(1, int(model.TableCols), TableLimits::MaxCols);
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

QString markdownField(const QString &text)
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
        case u'\n':
            out += QLatin1String("<br>");
            break;
        case u'\r': case u'\t':
            out += QLatin1Char(' ');
            break;
        default:
            out += ch;
        }
    }
    // Blanks at the ends would be trimmed away by a reader.
    return out.trimmed();
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
    } else {
        bool first = true;
        for (const QStringList &row : rows) {
            QStringList fields;
            for (const QString &t : row)
                fields << markdownField(t);
            out += QLatin1String("| ") + fields.join(QLatin1String(" | ")) + QLatin1String(" |\n");
            if (first) {
                out += QLatin1Char('|');
                for (qsizetype i = 0; i < row.size(); ++i)
                    out += QLatin1String(" --- |");
                out += QLatin1Char('\n');
                first = false;
            }
        }
        result.bytes = out.toUtf8();
    }
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
    if (result.rows == 0 || result.cols == 0 || result.rows > TableLimits::MaxRows || result.cols > TableLimits::MaxCols)
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
    model = std::move(fresh);
    result.ok = true;
    return result;
}
