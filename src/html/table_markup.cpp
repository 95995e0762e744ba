#include "table_markup.h"

#include "table/table_model.h"

#include <algorithm>
#include <array>

namespace {

// Spans are marked into a map a little larger than the cell array; a span
// reaching further simply stops at its edge (positions past the table are
// never looked at, so nothing is lost by not marking them).
constexpr int CoveredSize = 111;

class CoveredMap
{
public:
    bool at(int c, int r) const
    {
        return c >= 0 && c < CoveredSize && r >= 0 && r < CoveredSize
                && m_bits[std::size_t(r) * CoveredSize + std::size_t(c)];
    }

    // Columns c .. c + cols - 1, rows r .. r + rows - 1. 64-bit ends so that a
    // count near the 32-bit limit cannot wrap around into the table.
    void mark(int c, int r, qint64 cols, qint64 rows)
    {
        const qint64 lastCol = std::min<qint64>(qint64(c) + cols - 1, CoveredSize - 1);
        const qint64 lastRow = std::min<qint64>(qint64(r) + rows - 1, CoveredSize - 1);
        for (qint64 y = std::max(r, 0); y <= lastRow; ++y)
            for (qint64 x = std::max(c, 0); x <= lastCol; ++x)
                m_bits[std::size_t(y) * CoveredSize + std::size_t(x)] = true;
    }

private:
    std::array<bool, CoveredSize * CoveredSize> m_bits {};
};

QLatin1String hAlignText(qint16 v)
{
    switch (v) {
    case 0: return QLatin1String("left");
    case 1: return QLatin1String("center");
    case 2: return QLatin1String("right");
    default: return QLatin1String("");
    }
}

// Vertical centring is written "center", not "middle": pages made with earlier
// tables compare and style by that exact text.
QLatin1String vAlignText(qint16 v)
{
    switch (v) {
    case 0: return QLatin1String("top");
    case 1: return QLatin1String("center");
    case 2: return QLatin1String("bottom");
    default: return QLatin1String("");
    }
}

// Two upper-case hex digits; a one-digit text gets a leading "0", a longer one
// keeps its first two characters. Negative parts read as 32-bit two's complement.
void appendHexField(QString &out, qint32 part)
{
    const QString hex = QString::number(quint32(part), 16).toUpper();
    if (hex.size() == 1)
        out += QLatin1Char('0');
    out += QStringView(hex).left(2);
}

} // namespace

QString ColorToHtml(qint32 colour)
{
    const qint32 blue = colour / 65536;   // C++ division truncates toward zero
    const qint32 rest = colour % 65536;   // and the remainder takes the sign of colour
    const qint32 green = rest / 256;
    const qint32 red = rest % 256;
    QString out;
    out.reserve(7);
    out += QLatin1Char('#');
    appendHexField(out, red);
    appendHexField(out, green);
    appendHexField(out, blue);
    return out;
}

QString buildTableMarkup(TableModel &model, const MarkupInputs &in,
                         const std::function<void(int, int)> &visitCell)
{
    static const QLatin1String crlf("\r\n");

    // Rows and columns 1..99 hold the table; the grid never goes past them.
    const int lastRow = std::min(in.gridRows - 1, CellTable::MaxIndex - 1);
    const int lastCol = std::min(in.gridCols - 1, CellTable::MaxIndex - 1);

    // One allocation up front: about 60 characters of markup per cell plus its text.
    qsizetype estimate = 256 + in.titleText.size() + 2 * in.borderText.size();
    for (int r = 1; r <= lastRow; ++r) {
        estimate += 11;
        for (int c = 1; c <= lastCol; ++c)
            estimate += 64 + model.Cells(c, r).Text.size();
    }
    QString out;
    out.reserve(estimate);

    out += QLatin1String("<TABLE BORDER=\"");
    out += in.borderText;
    out += QLatin1String("\" CELLSPACING=\"");
    out += in.borderText;
    if (model.TableBackColorNothing == 0) {
        out += QLatin1String("\" BGCOLOR=\"");
        out += ColorToHtml(in.backColorShown);
    }
    out += QLatin1String("\">");

    if (!model.TableTitle.isEmpty()) {
        out += crlf;
        out += QLatin1String("<CAPTION>");
        out += crlf;
        out += in.titleText;
        out += crlf;
        out += QLatin1String("</CAPTION>");
    }

    CoveredMap covered;
    for (int r = 1; r <= lastRow; ++r) {
        out += crlf;
        out += QLatin1String("<TR>");
        for (int c = 1; c <= lastCol; ++c) {
            if (covered.at(c, r))
                continue;
            if (visitCell)
                visitCell(c, r);
            CellRecord &R = model.Cells(c, r);
            const QLatin1String tag = R.Header == -1 ? QLatin1String("TH") : QLatin1String("TD");
            out += QLatin1Char('<');
            out += tag;

            if (R.HeightOn != 0) {
                out += QLatin1String(" HEIGHT=\"");
                out += QString::number(R.Height);
                out += QLatin1Char('"');
            }
            if (R.WidthOn != 0) {
                out += QLatin1String(" WIDTH=\"");
                out += QString::number(R.Width);
                out += QLatin1Char('"');
            }
            if (model.NetscapeMode == 0 && R.Header == 0) {
                out += QLatin1String(" ALIGN=\"");
                out += hAlignText(R.HAlign);
                out += QLatin1String("\" VALIGN=\"");
                out += vAlignText(R.VAlign);
                out += QLatin1Char('"');
            }

            // The counts written are the ones the pane showed after the refresh,
            // i.e. before this cell's own normalisation below.
            const qint32 colSpanShown = R.ColSpan;
            const qint32 rowSpanShown = R.RowSpan;
            if (R.ColSpanOn != 0) {
                out += QLatin1String(" COLSPAN=\"");
                out += QString::number(colSpanShown);
                out += QLatin1Char('"');
                if (R.RowSpan == 0 || R.RowSpanOn == 0)
                    R.RowSpan = 1;
                covered.mark(c, r, R.ColSpan, R.RowSpan);
            }
            if (R.RowSpanOn != 0) {
                out += QLatin1String(" ROWSPAN=\"");
                out += QString::number(rowSpanShown);
                out += QLatin1Char('"');
                if (R.ColSpan == 0 || R.ColSpanOn == 0)
                    R.ColSpan = 1;
                covered.mark(c, r, R.ColSpan, R.RowSpan);
            }

            if (R.BackColorNothing == 0) {
                out += QLatin1String(" BGCOLOR=\"");
                out += ColorToHtml(R.BackColor);
                out += QLatin1Char('"');
            }
            out += QLatin1Char('>');
            out += R.Text;
            out += QLatin1String("</");
            out += tag;
            out += QLatin1Char('>');
        }
        out += QLatin1String("</TR>");
    }
    out += crlf;
    out += QLatin1String("</Table>");
    return out;
}

QString previewPageText(const QString &tableText)
{
    static const QLatin1String crlf("\r\n");
    QString page;
    page.reserve(tableText.size() + 160);
    page += QLatin1String("<HTML LANG=\"ja\"><HEAD><meta http-equiv=\"Content-Type\" "
                          "content=\"text/html; charset=Shift_JIS\"></HEAD><BODY>");
    page += crlf;
    page += crlf;
    page += tableText;
    page += crlf;
    page += crlf;
    page += QLatin1String("</BODY></HTML>");
    page += crlf;
    return page;
}
