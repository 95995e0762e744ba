#include "core/markup/table_markup.h"

#include "core/text/text_codec.h"
#include "core/model/table_model.h"

#include <algorithm>
#include <array>
#include <vector>

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

// An id or class as an attribute value: whitespace inside an id would make it
// no id at all, so it goes; a class list is written with single spaces.
QString attributeText(const QString &value, bool isId)
{
    QString v = value.simplified();
    if (isId)
        v.remove(QLatin1Char(' '));
    v.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    v.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return v;
}

void appendAttribute(QString &out, QLatin1String name, const QString &value, bool isId = false)
{
    const QString text = attributeText(value, isId);
    if (text.isEmpty())
        return;
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    out += text;
    out += QLatin1Char('"');
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

namespace {

const QLatin1String crlf("\r\n");

// What the table element itself is made of, read from the model once.
struct MarkupInputs {
    QString borderText;
    QString titleText;
    qint32 backColorShown;
};

MarkupInputs inputsOf(const TableModel &model)
{
    return MarkupInputs{QString::number(model.TableBorder), model.TableTitle, model.TableBackColor};
}

int lastTableRow(const TableModel &model)
{
    return std::clamp<int>(model.TableRows, 0, TableLimits::MaxRows);
}

int lastTableCol(const TableModel &model)
{
    return std::clamp<int>(model.TableCols, 0, TableLimits::MaxCols);
}

QString buildHtml4(const TableModel &model, const MarkupInputs &in)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);

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
    if (model.TableWidthUnit != WidthUnit::None) {
        out += QLatin1String("\" WIDTH=\"");
        out += QString::number(std::max<qint32>(0, model.TableWidth));
        if (model.TableWidthUnit == WidthUnit::Percent)
            out += QLatin1Char('%');
    }
    if (model.TableBackColorNothing == 0) {
        out += QLatin1String("\" BGCOLOR=\"");
        out += ColorToHtml(in.backColorShown);
    }
    out += QLatin1Char('"');
    appendAttribute(out, QLatin1String("ID"), model.TableId, true);
    appendAttribute(out, QLatin1String("CLASS"), model.TableClass);
    out += QLatin1Char('>');

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
            const CellRecord &R = model.Cells(c, r);
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

            // A switched-off count covers one row or column, whatever it holds.
            qint32 colSpan = R.ColSpan;
            qint32 rowSpan = R.RowSpan;
            if (R.ColSpanOn != 0) {
                out += QLatin1String(" COLSPAN=\"");
                out += QString::number(R.ColSpan);
                out += QLatin1Char('"');
                if (rowSpan == 0 || R.RowSpanOn == 0)
                    rowSpan = 1;
                covered.mark(c, r, colSpan, rowSpan);
            }
            if (R.RowSpanOn != 0) {
                out += QLatin1String(" ROWSPAN=\"");
                out += QString::number(R.RowSpan);
                out += QLatin1Char('"');
                if (colSpan == 0 || R.ColSpanOn == 0)
                    colSpan = 1;
                covered.mark(c, r, colSpan, rowSpan);
            }

            if (R.BackColorNothing == 0) {
                out += QLatin1String(" BGCOLOR=\"");
                out += ColorToHtml(R.BackColor);
                out += QLatin1Char('"');
            }
            appendAttribute(out, QLatin1String("CLASS"), R.Class);
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

// One emitted HTML5 cell, kept until the row groups are known.
struct Html5Cell {
    int col = 0;
    int row = 0;
    bool header = false;
    qint32 rowSpan = 1;   // in table rows, clipped to the table
    qint32 colSpan = 1;   // clipped to the table
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

qint32 clampSpan(qint32 count, qint32 room)
{
    return std::max<qint32>(1, std::min<qint32>(count, room));
}

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

    // Pass 1, in the generator's cell order: what each cell writes.
    std::vector<std::vector<Html5Cell>> rows(std::size_t(std::max(lastRow, 0) + 1));
    CoveredMap covered;
    qsizetype estimate = 512 + in.titleText.size();
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
            for (int y = 1; y < cell.rowSpan; ++y) {
                bool free = true;
                for (int x = 0; x < colSpan && free; ++x)
                    free = !covered.at(c + x, r + y);
                if (!free) {
                    cell.rowSpan = y;
                    break;
                }
            }
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
                    addCss(style, QLatin1String("width"), pixels(R.Width));
                if (R.HeightOn != 0)
                    addCss(style, QLatin1String("height"), pixels(R.Height));
                if (R.BackColorNothing == 0)
                    addCss(style, QLatin1String("background-color"), ColorToHtml(R.BackColor));
            }
            cell.cls = attributeText(R.Class, false);
            cell.text = R.Text;
            estimate += 64 + cell.style.size() + cell.text.size();
            rows[std::size_t(r)].push_back(std::move(cell));
        }
    }

    // Rows where no cell begins are left out; a span counts the rows written.
    auto rowsWritten = [&](int from, int to) {
        int n = 0;
        for (int y = from; y <= to; ++y)
            n += rows[std::size_t(y)].empty() ? 0 : 1;
        return n;
    };

    // The head: the leading rows of header cells only, ending where no span
    // of theirs reaches further down; never the whole table.
    int headRows = 0;
    while (headRows < lastRow) {
        const auto &cells = rows[std::size_t(headRows + 1)];
        if (!std::all_of(cells.begin(), cells.end(), [](const Html5Cell &x) { return x.header; }))
            break;
        ++headRows;
    }
    for (; headRows > 0; --headRows) {
        bool closed = true;
        for (int r = 1; r <= headRows && closed; ++r)
            for (const Html5Cell &x : rows[std::size_t(r)])
                closed = closed && r + x.rowSpan - 1 <= headRows;
        if (closed)
            break;
    }
    if (headRows == lastRow)
        headRows = 0;

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
    out.reserve(estimate);

    QString style;
    if (border > 0) {
        addCss(style, QLatin1String("border"), pixels(border) + QLatin1String(" outset gray"));
    }
    addCss(style, QLatin1String("border-spacing"), pixels(border));
    if (model.TableWidthUnit == WidthUnit::Pixels)
        addCss(style, QLatin1String("width"), pixels(model.TableWidth));
    else if (model.TableWidthUnit == WidthUnit::Percent)
        addCss(style, QLatin1String("width"), QString::number(std::max<qint32>(0, model.TableWidth)) + QLatin1Char('%'));
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
                if (x.header && head)
                    out += QLatin1String(" scope=\"col\"");
                else if (x.header && x.col == 1)
                    out += QLatin1String(" scope=\"row\"");
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
    if (headRows < lastRow) {
        out += crlf;
        out += QLatin1String("<tbody>");
        writeRows(headRows + 1, lastRow, false);
        out += crlf;
        out += QLatin1String("</tbody>");
    }
    out += crlf;
    out += QLatin1String("</table>");
    return out;
}

} // namespace

CellAlignment browserAlignment(bool header)
{
    // Data cells start at the left, header cells are centred; both sit in the middle.
    return CellAlignment{qint16(header ? 1 : 0), 1};
}

QString buildTableMarkup(const TableModel &model)
{
    const MarkupInputs in = inputsOf(model);
    return model.OutputProfile == MarkupProfile::Html5 ? buildHtml5(model, in)
                                                       : buildHtml4(model, in);
}

QString previewPageText(const QString &tableText, MarkupProfile profile)
{
    QString page;
    page.reserve(tableText.size() + 160);
    if (profile == MarkupProfile::Html5)
        page += QLatin1String("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">"
                              "<title>Quorvan</title></head><body>");
    else
        page += QLatin1String("<HTML LANG=\"ja\"><HEAD><meta http-equiv=\"Content-Type\" "
                              "content=\"text/html; charset=Shift_JIS\"></HEAD><BODY>");
    page += crlf;
    page += crlf;
    page += tableText;
    page += crlf;
    page += crlf;
    page += profile == MarkupProfile::Html5 ? QLatin1String("</body></html>")
                                            : QLatin1String("</BODY></HTML>");
    page += crlf;
    return page;
}

QByteArray markupFileBytes(const QString &text, MarkupProfile profile)
{
    return profile == MarkupProfile::Html5 ? text.toUtf8() : encodeCp932(text);
}

std::optional<MarkupProfile> markupProfileFromName(const QString &name)
{
    if (name.compare(QLatin1String("html4"), Qt::CaseInsensitive) == 0)
        return MarkupProfile::Html4;
    if (name.compare(QLatin1String("html5"), Qt::CaseInsensitive) == 0)
        return MarkupProfile::Html5;
    return std::nullopt;
}

std::optional<PresentationStyle> presentationStyleFromName(const QString &name)
{
    if (name.compare(QLatin1String("inline"), Qt::CaseInsensitive) == 0)
        return PresentationStyle::Inline;
    if (name.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return PresentationStyle::None;
    return std::nullopt;
}
