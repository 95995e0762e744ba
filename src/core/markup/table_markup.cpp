#include "core/markup/table_markup.h"
#include "core/markup/cell_style.h"

#include "core/model/grid_text.h"

#include "core/text/text_codec.h"
#include "core/markup/table_markup_p.h"
#include "core/model/table_model.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

using namespace markup;

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

namespace markup {

QString buildHtml4(const TableModel &model, const MarkupInputs &in)
{
    const int lastRow = lastTableRow(model);
    const int lastCol = lastTableCol(model);

    // One allocation up front: about 60 characters of markup per cell plus its text.
    qsizetype estimate = 256 + in.titleText.size() + 2 * in.borderText.size();
    estimate += qsizetype(11) * lastRow + qsizetype(64) * lastRow * lastCol;
    if (in.textChars >= 0)
        estimate += in.textChars;
    else
        model.Cells.forEachHeld(QRect(1, 1, lastCol, lastRow),
                                [&](int, int, const CellRecord &R) { estimate += R.Text.size(); });
    QString out;
    out.reserve(std::min<qsizetype>(estimate, MaxMarkupChars));

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

    CoveredMap covered(lastCol);
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
            if (R.Header == -1 && R.Scope > 0 && R.Scope < CellScopeCount) {
                static const char *const names[] = {"", "row", "col", "rowgroup", "colgroup"};
                out += QLatin1String(" SCOPE=\"");
                out += QLatin1String(names[R.Scope]);
                out += QLatin1Char('"');
            }

            if (R.HeightOn != 0) {
                out += QLatin1String(" HEIGHT=\"");
                out += QString::number(R.Height);
                if (R.HeightPercent != 0)
                    out += QLatin1Char('%');
                out += QLatin1Char('"');
            }
            if (R.WidthOn != 0) {
                out += QLatin1String(" WIDTH=\"");
                out += QString::number(R.Width);
                if (R.WidthPercent != 0)
                    out += QLatin1Char('%');
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

} // namespace markup

CellAlignment browserAlignment(bool header)
{
    // Data cells start at the left, header cells are centred; both sit in the middle.
    return CellAlignment{qint16(header ? 1 : 0), 1};
}

namespace {

// The cells' texts counted, or -1 when the table could not be made into HTML.
qsizetype textCharsWithin(const TableModel &model)
{
    using namespace markup;
    const qint64 rows = lastTableRow(model), cols = lastTableCol(model);
    // The least a cell writes: "<td></td>", or in HTML 4 with alignment
    // '<TD ALIGN="left" VALIGN="top"></TD>'; a row "<TR></TR>" and a line break.
    const qint64 perCell = model.OutputProfile == MarkupProfile::Html4 && model.NetscapeMode == 0 ? 35 : 9;
    const qint64 frame = rows * 11 + rows * cols * perCell + model.TableTitle.size();
    if (frame > MaxMarkupChars)
        return -1;
    qint64 text = 0, styles = 0;
    // HTML5 writes each cell's own style too, at most so much of it.
    const bool html5 = model.OutputProfile == MarkupProfile::Html5;
    model.Cells.forEachHeld(QRect(1, 1, int(cols), int(rows)), [&](int, int, const CellRecord &R) {
        text += R.Text.size();
        if (html5)
            styles += std::min<qint64>(R.Style.size(), MaxCellStyleChars);
    });
    return frame + text + styles > MaxMarkupChars ? -1 : qsizetype(text);
}

} // namespace

bool markupTooLarge(const TableModel &model)
{
    return textCharsWithin(model) < 0;
}

QString buildTableMarkup(const TableModel &model)
{
    using namespace markup;
    const qsizetype text = textCharsWithin(model);
    if (text < 0)
        return QString();
    MarkupInputs in = inputsOf(model);
    in.textChars = text;
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

QString wholePageText(const QString &tableText, MarkupProfile profile, const QString &caption,
                      const QString &fallbackTitle, const QString &styleSheetHref)
{
    QString title = HtmlToGridText(caption).simplified();
    if (title.isEmpty())
        title = fallbackTitle.simplified();
    title.replace(QLatin1Char('&'), QLatin1String("&amp;")).replace(QLatin1Char('<'), QLatin1String("&lt;"));
    const bool html5 = profile == MarkupProfile::Html5;
    QString page;
    page.reserve(tableText.size() + 200 + title.size());
    if (html5)
        page += QLatin1String("<!DOCTYPE html>\r\n<html lang=\"ja\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>");
    else
        page += QLatin1String("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<HTML LANG=\"ja\">\r\n"
                              "<HEAD>\r\n<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n<TITLE>");
    page += title;
    page += html5 ? QLatin1String("</title>\r\n") : QLatin1String("</TITLE>\r\n");
    if (html5 && !styleSheetHref.isEmpty())
        page += QLatin1String("<link rel=\"stylesheet\" href=\"") + styleSheetHref + QLatin1String("\">\r\n");
    page += html5 ? QLatin1String("</head>\r\n<body>\r\n") : QLatin1String("</HEAD>\r\n<BODY>\r\n");
    page += tableText;
    page += html5 ? QLatin1String("\r\n</body>\r\n</html>\r\n") : QLatin1String("\r\n</BODY>\r\n</HTML>\r\n");
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
