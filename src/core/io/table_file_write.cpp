// Writing the table text: the version line, the settings line and one line a cell.
#include "core/io/table_file.h"

#include <QIODevice>
#include <QRect>

#include <algorithm>
#include <vector>

#include "core/model/table_model.h"
#include "core/text/text_codec.h"

namespace {

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

namespace {

// The records the original layout writes: columns 0..TableCols + 2 (never
// past column 100) and rows 0..TableRows. The wider layout of 3.4 passes over
// the same range, up to the limits.
QRect writtenRange(int rows, int cols, bool classic)
{
    const int lastCol = classic ? qMin(cols + 2, TableLimits::ClassicLines + 1) : qMin(cols + 2, CellTable::MaxCol);
    return QRect(0, 0, lastCol + 1, rows + 1);
}

int writtenRows(const TableModel &m) { return qBound(1, int(m.TableRows), TableLimits::MaxRows); }
int writtenCols(const TableModel &m) { return qBound(1, int(m.TableCols), TableLimits::MaxCols); }

// An id or class holds any character: a character the file's code page
// cannot hold becomes a numeric reference, so an ampersand is written as
// "&amp;" and the reader turns both back.
void appendAttributeString(QString &out, const QString &value)
{
    appendString(out, value.contains(QLatin1Char('&')) ? QString(value).replace(QLatin1Char('&'), QLatin1String("&amp;")) : value);
}

void appendRecordFields(QString &out, const CellRecord &R)
{
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
}

int scopeField(const CellRecord &R)
{
    return R.Scope >= 0 && R.Scope < CellScopeCount ? R.Scope : 0;
}

void appendSettings(QString &out, const TableModel &m, int rows, int cols, const FileVersion &version)
{
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
        appendAttributeString(out, m.TableId);
        out += Comma;
        appendAttributeString(out, m.TableClass);
    }
    if (version.minor >= 3) {
        out += Comma;
        appendNumber(out, qBound(0, int(m.FooterRows), version.minor >= 4 ? TableLimits::MaxRows : TableLimits::ClassicLines));
    }
    if (version.minor >= 4) {
        for (int v : {int(m.OutputPreset), int(m.OutputCss), m.Responsive != 0 ? 1 : 0}) {
            out += Comma;
            appendNumber(out, v);
        }
    }
}

// The version line, then the settings line without its end: 3.4 adds the
// count of cell lines to it.
void appendHead(QString &out, const TableModel &m, int rows, int cols, const FileVersion &version)
{
    appendNumber(out, version.major);
    out += Comma;
    appendNumber(out, version.minor);
    out += Comma;
    appendNumber(out, version.revision);
    out += LineEnd;
    appendSettings(out, m, rows, cols, version);
}

// The wider layout: only the records that differ from the defaults, column by
// column and within a column row by row, each led by its position and a kind:
// 0 for a record whose text alone differs, 1 for a whole record. The settings
// line ends with how many records follow, so that a file cut short or spliced
// is told from a whole one.
QString wideTableText(const TableModel &m, const FileVersion &version)
{
    const int rows = writtenRows(m), cols = writtenCols(m);
    const QRect range = writtenRange(rows, cols, false);
    struct Held {
        int col, row;
        const CellRecord *rec;
    };
    std::vector<Held> held;
    qsizetype estimate = 256 + m.TableTitle.size() + m.TableId.size() + m.TableClass.size();
    m.Cells.forEachHeld(range, [&](int c, int r, const CellRecord &R) {
        if (R.isDefault())
            return;
        held.push_back({c, r, &R});
        estimate += 32 + R.Text.size() + R.Class.size() + R.Style.size();
    });
    std::sort(held.begin(), held.end(), [](const Held &a, const Held &b) {
        return a.col != b.col ? a.col < b.col : a.row < b.row;
    });
    CellRecord textOnly;
    QString out;
    out.reserve(estimate);
    appendHead(out, m, rows, cols, version);
    out += Comma;
    appendNumber(out, qint64(held.size()));
    out += LineEnd;
    for (const Held &h : held) {
        appendNumber(out, h.col);
        out += Comma;
        appendNumber(out, h.row);
        out += Comma;
        textOnly.Text = h.rec->Text;
        if (*h.rec == textOnly) {
            out += QLatin1String("0,");
            appendString(out, h.rec->Text);
        } else {
            out += QLatin1String("1,");
            appendRecordFields(out, *h.rec);
            out += Comma;
            appendAttributeString(out, h.rec->Class);
            out += Comma;
            appendNumber(out, scopeField(*h.rec));
            out += Comma;
            appendNumber(out, h.rec->WidthPercent != 0 ? 1 : 0);
            out += Comma;
            appendNumber(out, h.rec->HeightPercent != 0 ? 1 : 0);
            out += Comma;
            appendAttributeString(out, h.rec->Style);
        }
        out += LineEnd;
    }
    return out;
}

} // namespace

bool isWideTable(const TableModel &model)
{
    return !TableLimits::isClassic(writtenRows(model), writtenCols(model));
}

FileVersion fileVersionFor(const TableModel &model)
{
    FileVersion v;
    v.major = 3;
    // The lowest version that holds what is written: cells outside the range
    // the file passes over are not in it.
    const QRect range = writtenRange(writtenRows(model), writtenCols(model), true);
    // The preset settings and cells' own styles exist only in the 3.4 layout.
    if (isWideTable(model) || model.usesPresetSettings() || model.usesCellStyleSettings(range)) {
        v.minor = 4;
        return v;
    }
    v.minor = model.usesFooterSettings(range) ? 3
            : model.usesClassSettings(range) ? 2
            : model.usesNewSettings() ? 1 : 0;
    return v;
}

QString fileKindOf(const QString &path)
{
    return path.right(3).toLower();
}

QByteArray tableText(const TableModel &m)
{
    const FileVersion version = fileVersionFor(m);
    if (version.minor >= 4)
        return encodeCp932(wideTableText(m, version));

    // The number boxes may still hold an unchecked 0 when the table is saved;
    // write the size the box falls back to, so the file can always be opened.
    const int rows = writtenRows(m);
    const int cols = writtenCols(m);
    const QRect range = writtenRange(rows, cols, true);
    const int lastCol = range.right();

    qsizetype estimate = 128 + m.TableTitle.size() + qsizetype(72) * range.width() * range.height();
    m.Cells.forEachHeld(range, [&](int, int, const CellRecord &R) { estimate += R.Text.size(); });
    QString out;
    out.reserve(estimate);

    appendHead(out, m, rows, cols, version);
    out += LineEnd;

    // Past the largest table's last column the original layout holds all-zero
    // records, where nothing else was put.
    const CellRecord zero = CellRecord::zero();
    for (int c = 0; c <= lastCol; ++c) {
        for (int r = 0; r <= rows; ++r) {
            const CellRecord *held = m.Cells.find(c, r);
            const CellRecord &R = held ? *held : c > TableLimits::ClassicLines ? zero : CellTable::defaults();
            appendNumber(out, c);
            out += Comma;
            appendNumber(out, r);
            out += Comma;
            appendRecordFields(out, R);
            if (version.minor >= 2) {
                out += Comma;
                appendAttributeString(out, R.Class);
            }
            if (version.minor >= 3) {
                out += Comma;
                appendNumber(out, scopeField(R));
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

