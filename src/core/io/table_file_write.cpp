// Writing the table text: the version line, the settings line and one line a cell.
#include "core/io/table_file.h"

#include <QIODevice>

#include "core/model/table_model.h"
#include "core/text/text_codec.h"

namespace {

constexpr int MaxTableSize = TableLimits::MaxLines;

void appendNumber(QString &out, qint64 value)
{
    char buf[24];
    int i = sizeof buf;
    const bool negative = value < 0;
    quint64 v = negative ? quint64(0) - quint64(value) : quint64(value);
    do {
        buf[--i] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (negative)
        buf[--i] = '-';
    out += QLatin1String(buf + i, int(sizeof buf) - i);
}

// The text as it is, in quotes; a quote inside is doubled so that it survives.
void appendString(QString &out, const QString &text)
{
    out += QLatin1Char('"');
    if (text.contains(QLatin1Char('"'))) {
        QString doubled = text;
        doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
        out += doubled;
    } else {
        out += text;
    }
    out += QLatin1Char('"');
}

void appendBool(QString &out, qint16 flag)
{
    out += flag != 0 ? QLatin1String("#TRUE#") : QLatin1String("#FALSE#");
}

const QLatin1String Comma(",");
const QLatin1String LineEnd("\r\n");

} // namespace

FileVersion fileVersionFor(const TableModel &model)
{
    FileVersion v;
    v.major = 3;
    v.minor = model.usesFooterSettings() ? 3
            : model.usesClassSettings() ? 2
            : model.usesNewSettings() ? 1 : 0;
    return v;
}

QString fileKindOf(const QString &path)
{
    return path.right(3).toLower();
}

QByteArray tableText(const TableModel &m)
{
    // The number boxes may still hold an unchecked 0 when the table is saved;
    // write the size the box falls back to, so the file can always be opened.
    const int rows = qBound(1, int(m.TableRows), MaxTableSize);
    const int cols = qBound(1, int(m.TableCols), MaxTableSize);
    const int lastCol = qMin(cols + 2, CellTable::MaxIndex);

    qsizetype estimate = 128 + m.TableTitle.size();
    for (int c = 0; c <= lastCol; ++c)
        for (int r = 0; r <= rows; ++r)
            estimate += 72 + m.Cells(c, r).Text.size();
    QString out;
    out.reserve(estimate);

    const FileVersion version = fileVersionFor(m);
    appendNumber(out, version.major);
    out += Comma;
    appendNumber(out, version.minor);
    out += Comma;
    appendNumber(out, version.revision);
    out += LineEnd;

    appendNumber(out, rows);
    out += Comma;
    appendNumber(out, cols);
    out += Comma;
    appendString(out, m.TableTitle);
    out += Comma;
    appendNumber(out, m.TableBorder);
    out += Comma;
    appendNumber(out, m.TableBackColor);
    out += Comma;
    appendNumber(out, m.TableBackColorNothing);
    out += Comma;
    appendNumber(out, m.NetscapeMode);
    if (version.minor >= 1) {
        out += Comma;
        appendNumber(out, int(m.OutputProfile));
        out += Comma;
        appendNumber(out, int(m.TableWidthUnit));
        out += Comma;
        appendNumber(out, m.TableWidth);
    }
    if (version.minor >= 2) {
        out += Comma;
        appendNumber(out, int(m.OutputStyle));
        out += Comma;
        appendString(out, m.TableId);
        out += Comma;
        appendString(out, m.TableClass);
    }
    if (version.minor >= 3) {
        out += Comma;
        appendNumber(out, qBound(0, int(m.FooterRows), MaxTableSize));
    }
    out += LineEnd;

    for (int c = 0; c <= lastCol; ++c) {
        for (int r = 0; r <= rows; ++r) {
            const CellRecord &R = m.Cells(c, r);
            appendNumber(out, c);
            out += Comma;
            appendNumber(out, r);
            out += Comma;
            appendString(out, R.Text);
            out += Comma;
            appendBool(out, R.Header);
            for (qint64 v : {qint64(R.HeightOn), qint64(R.Height), qint64(R.WidthOn), qint64(R.Width),
                             qint64(R.RowSpanOn), qint64(R.RowSpan), qint64(R.ColSpanOn),
                             qint64(R.ColSpan), qint64(R.VAlign), qint64(R.HAlign),
                             qint64(R.BackColor), qint64(R.BackColorNothing)}) {
                out += Comma;
                appendNumber(out, v);
            }
            if (version.minor >= 2) {
                out += Comma;
                appendString(out, R.Class);
            }
            if (version.minor >= 3) {
                out += Comma;
                appendNumber(out, R.Scope >= 0 && R.Scope < CellScopeCount ? R.Scope : 0);
            }
            out += LineEnd;
        }
    }
    // One pass through the codec for the whole text.
    return encodeCp932(out);
}

bool writeTableText(QIODevice &out, const TableModel &model)
{
    const QByteArray bytes = tableText(model);
    return out.write(bytes) == bytes.size();
}

