#include "core/import/cell_block.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QRegularExpression>

#include "core/import/html_tables.h"
#include "core/markup/table_markup.h"
#include "core/model/table_edits.h"
#include "core/text/char_refs.h"

#include <algorithm>
#include <vector>

const char *const CellBlockMimeType = "application/x-quorvan-cells";

namespace {

constexpr quint32 BlockMagic = 0x51564342; // "QVCB"
// 2 added the class and the scope, 3 the sizes in per cent and the style.
constexpr quint16 BlockVersion = 3;

// Which cells of the block lie under an earlier cell's span, clipped to the block.
std::vector<char> coveredCells(const CellBlock &block)
{
    std::vector<char> covered(size_t(block.rows) * size_t(block.cols), 0);
    for (int r = 0; r < block.rows; ++r) {
        for (int c = 0; c < block.cols; ++c) {
            if (covered[size_t(r) * size_t(block.cols) + size_t(c)])
                continue;
            const CellRecord &rec = block.at(c, r);
            const int width = rec.ColSpanOn ? std::clamp<qint32>(rec.ColSpan, 1, block.cols - c) : 1;
            const int height = rec.RowSpanOn ? std::clamp<qint32>(rec.RowSpan, 1, block.rows - r) : 1;
            for (int y = r; y < r + height; ++y)
                for (int x = c; x < c + width; ++x)
                    if (x != c || y != r)
                        covered[size_t(y) * size_t(block.cols) + size_t(x)] = 1;
        }
    }
    return covered;
}

QString quotedIfNeeded(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    value.replace(u'\r', u'\n');
    if (!value.contains(u'\t') && !value.contains(u'\n') && !value.contains(u'"'))
        return value;
    value.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + value + QLatin1Char('"');
}

// A plain value as cell text: markup characters escaped, line breaks "<BR>".
QString cellTextOf(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar ch = value.at(i);
        if (ch == u'&')
            out += QLatin1String("&amp;");
        else if (ch == u'<')
            out += QLatin1String("&lt;");
        else if (ch == u'>')
            out += QLatin1String("&gt;");
        else if (ch == u'\r' || ch == u'\n') {
            if (ch == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
                ++i;
            out += QLatin1String("<BR>");
        } else
            out += ch;
    }
    return out;
}

// A stored text as text editors should get it: tags dropped ("<BR>" a line
// break), every character reference decoded, every other character as typed.
// A "<" that starts no tag, a lone ">" or ";" is the user's text.
QString plainTextOf(const QString &text)
{
    if (!text.contains(u'<') && !text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = text.at(i);
        const QChar next = i + 1 < n ? text.at(i + 1) : QChar();
        const bool tagStart = ch == u'<'
                && ((next.isLetter() && next.unicode() < 0x80) || next == u'/' || next == u'!' || next == u'?');
        const qsizetype close = tagStart ? text.indexOf(u'>', i + 1) : -1;
        if (close < 0) {
            out += ch;
            ++i;
            continue;
        }
        const QStringView tag = QStringView(text).mid(i + 1, close - i - 1);
        if (tag.compare(u"br", Qt::CaseInsensitive) == 0
            || (tag.size() > 2 && tag.left(2).compare(u"br", Qt::CaseInsensitive) == 0
                && (tag.at(2) == u'/' || tag.at(2).isSpace())))
            out += u'\n';
        i = close + 1;
    }
    return decodeCharacterReferences(out);
}

void writeRecord(QDataStream &out, const CellRecord &r)
{
    out << r.Text << r.Header << r.HeightOn << r.Height << r.WidthOn << r.Width << r.RowSpanOn
        << r.RowSpan << r.ColSpanOn << r.ColSpan << r.VAlign << r.HAlign << r.BackColor
        << r.BackColorNothing << r.Class << r.Scope << r.WidthPercent << r.HeightPercent << r.Style;
}

void readRecord(QDataStream &in, CellRecord &r, quint16 version)
{
    in >> r.Text >> r.Header >> r.HeightOn >> r.Height >> r.WidthOn >> r.Width >> r.RowSpanOn
        >> r.RowSpan >> r.ColSpanOn >> r.ColSpan >> r.VAlign >> r.HAlign >> r.BackColor
        >> r.BackColorNothing;
    if (version >= 2)
        in >> r.Class >> r.Scope;
    if (version >= 3)
        in >> r.WidthPercent >> r.HeightPercent >> r.Style;
}

void pasteRecord(CellRecord &target, const CellRecord &from, CellBlock::Source source)
{
    switch (source) {
    case CellBlock::Source::Quorvan:
        target = from;
        return;
    case CellBlock::Source::Html:
        target.Text = from.Text;
        target.Header = from.Header;
        // An alignment the source states comes across; -1 is none stated.
        if (from.HAlign >= 0)
            target.HAlign = from.HAlign;
        target.RowSpanOn = from.RowSpanOn;
        target.RowSpan = from.RowSpan;
        target.ColSpanOn = from.ColSpanOn;
        target.ColSpan = from.ColSpan;
        if (from.BackColorNothing == 0) {
            target.BackColorNothing = 0;
            target.BackColor = from.BackColor;
        }
        return;
    case CellBlock::Source::Text:
        target.Text = from.Text;
        return;
    }
}

// A spreadsheet's presentation inside a cell (its font, its classes and
// styles) belongs to its own sheet, not to the page the cell goes into.
QString withoutPresentation(const QString &text)
{
    static const QRegularExpression font(QStringLiteral("</?font\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attr(
            QStringLiteral("(<[A-Za-z][^>]*?)\\s+(?:style|class)\\s*=\\s*(?:\"[^\"]*\"|'[^']*'|[^\\s>]+)"),
            QRegularExpression::CaseInsensitiveOption);
    if (!text.contains(QLatin1Char('<')))
        return text;
    QString out = text;
    out.remove(font);
    // Each pass drops one such attribute per tag.
    for (int i = 0; i < 8 && out.contains(attr); ++i)
        out.replace(attr, QStringLiteral("\\1"));
    return out;
}

// The blanks a browser drops at either end of a cell; an ideographic space
// (U+3000) shows and stays.
QString withoutHtmlBlanks(const QString &text)
{
    auto blank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
    };
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && blank(text.at(from)))
        ++from;
    while (to > from && blank(text.at(to - 1)))
        --to;
    return from == 0 && to == text.size() ? text : text.mid(from, to - from);
}

// Spreadsheets write an empty cell as a lone line break, so that its borders show.
bool isBreakOnly(const QString &text)
{
    const QString t = text.toLower();
    return t == QLatin1String("<br>") || t == QLatin1String("<br/>") || t == QLatin1String("<br />");
}

} // namespace

void CellBlock::resize(int newCols, int newRows)
{
    cols = std::max(0, newCols);
    rows = std::max(0, newRows);
    cells = QVector<CellRecord>(qsizetype(cols) * rows);
}

CellBlock takeCellBlock(const TableModel &model, const QRect &area)
{
    const QRect inArray = area & QRect(1, 1, CellBlock::MaxCols, CellBlock::MaxRows);
    CellBlock block;
    const int cols = std::max(inArray.width(), 0);
    block.resize(cols, CellBlock::rowsFor(cols, std::max(inArray.height(), 0)));
    block.sourceCols = cols;
    block.sourceRows = std::max(inArray.height(), 0);
    // Unheld cells are at the defaults the block starts with.
    model.Cells.forEachHeld(QRect(inArray.topLeft(), QSize(block.cols, block.rows)),
                            [&](int c, int r, const CellRecord &rec) {
                                block.at(c - inArray.left(), r - inArray.top()) = rec;
                            });
    return block;
}

QByteArray encodeCellBlock(const CellBlock &block)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << BlockMagic << BlockVersion << qint32(block.cols) << qint32(block.rows);
    for (const CellRecord &r : block.cells)
        writeRecord(out, r);
    return data;
}

std::optional<CellBlock> decodeCellBlock(const QByteArray &data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    qint32 cols = 0, rows = 0;
    in >> magic >> version >> cols >> rows;
    if (in.status() != QDataStream::Ok || magic != BlockMagic || version < 1 || version > BlockVersion
        || cols < 1 || rows < 1 || cols > CellBlock::MaxCols || rows > CellBlock::MaxRows
        || qint64(cols) * rows > CellBlock::MaxCells)
        return std::nullopt;
    CellBlock block;
    block.resize(cols, rows);
    block.sourceCols = cols;
    block.sourceRows = rows;
    for (CellRecord &r : block.cells) {
        readRecord(in, r, version);
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        normalise(r);
    }
    return block;
}

QString cellBlockToText(const CellBlock &block)
{
    const std::vector<char> covered = coveredCells(block);
    QString out;
    for (int r = 0; r < block.rows; ++r) {
        for (int c = 0; c < block.cols; ++c) {
            if (c > 0)
                out += u'\t';
            if (!covered[size_t(r) * size_t(block.cols) + size_t(c)])
                out += quotedIfNeeded(plainTextOf(block.at(c, r).Text));
        }
        out += u'\n';
    }
    return out;
}

CellBlock cellBlockFromText(const QString &text)
{
    CellBlock block;
    block.source = CellBlock::Source::Text;
    if (text.isEmpty())
        return block;

    // Values beyond the limits are only counted.
    std::vector<std::vector<QString>> kept;
    int widest = 0;
    int lines = 0;
    qint64 keptCells = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    for (;;) {
        std::vector<QString> row;
        int fields = 0;
        bool lineDone = false;
        while (!lineDone) {
            QString value;
            if (i < n && text.at(i) == u'"') {
                // Quoted: tabs and line breaks belong to the value, "" is a quote.
                ++i;
                while (i < n) {
                    if (text.at(i) == u'"') {
                        if (i + 1 < n && text.at(i + 1) == u'"') {
                            value += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value += text.at(i++);
                }
            }
            // Unquoted, or what follows a closing quote: up to the tab or line end.
            const qsizetype start = i;
            while (i < n && text.at(i) != u'\t' && text.at(i) != u'\n' && text.at(i) != u'\r')
                ++i;
            value += QStringView(text).mid(start, i - start);
            if (lines < CellBlock::MaxRows && fields < CellBlock::MaxCols && keptCells < CellBlock::MaxCells) {
                row.push_back(cellTextOf(value));
                ++keptCells;
            }
            ++fields;
            if (i < n && text.at(i) == u'\t') {
                ++i;
                continue;
            }
            if (i < n && text.at(i) == u'\r') {
                ++i;
                if (i < n && text.at(i) == u'\n')
                    ++i;
            } else if (i < n && text.at(i) == u'\n') {
                ++i;
            }
            lineDone = true;
        }
        widest = std::max(widest, fields);
        if (lines < CellBlock::MaxRows && !row.empty())
            kept.push_back(std::move(row));
        ++lines;
        if (i >= n)
            break; // a last line break ends the text, not an empty row
    }

    block.sourceRows = lines;
    block.sourceCols = widest;
    const int cols = std::min(widest, int(CellBlock::MaxCols));
    block.resize(cols, CellBlock::rowsFor(cols, int(kept.size())));
    for (int r = 0; r < block.rows; ++r)
        for (int c = 0; c < int(kept[size_t(r)].size()) && c < block.cols; ++c)
            block.at(c, r).Text = kept[size_t(r)][size_t(c)];
    return block;
}

QString cellBlockToHtml(const CellBlock &block)
{
    TableModel table;
    table.TableRows = std::max(1, block.rows);
    table.TableCols = std::max(1, block.cols);
    table.OutputProfile = MarkupProfile::Html5;
    for (int r = 0; r < block.rows; ++r)
        for (int c = 0; c < block.cols; ++c)
            table.Cells(c + 1, r + 1) = block.at(c, r);
    return QLatin1String("<html><head><meta charset=\"utf-8\"></head><body>\n")
            + buildTableMarkup(table) + QLatin1String("\n</body></html>\n");
}

std::optional<CellBlock> cellBlockFromHtml(const QString &html)
{
    const QVector<HtmlTable> tables = parseHtmlTables(html);
    // The outermost table with cells is the selection (the first of them).
    auto found = tables.cend();
    for (auto t = tables.cbegin(); t != tables.cend(); ++t) {
        if (!t->cells.isEmpty() && (found == tables.cend() || t->depth < found->depth))
            found = t;
    }
    if (found == tables.cend())
        return std::nullopt;
    const HtmlTable &t = *found;
    CellBlock block;
    block.source = CellBlock::Source::Html;
    block.sourceRows = t.rows;
    block.sourceCols = t.cols;
    const int cols = std::min(t.cols, int(CellBlock::MaxCols));
    block.resize(cols, CellBlock::rowsFor(cols, t.rows));
    for (const HtmlTableCell &cell : t.cells) {
        if (cell.col > block.cols || cell.row > block.rows)
            continue;
        CellRecord &record = block.at(cell.col - 1, cell.row - 1);
        record = cell.record;
        // Pages lay out their source freely; the blanks around a cell's text are layout.
        record.Text = withoutHtmlBlanks(withoutPresentation(record.Text));
        if (!cell.hAlignStated)
            record.HAlign = -1;
        if (isBreakOnly(record.Text))
            record.Text.clear();
    }
    return block;
}

QMimeData *cellBlockMimeData(const CellBlock &block)
{
    auto *data = new QMimeData;
    data->setData(QLatin1String(CellBlockMimeType), encodeCellBlock(block));
    data->setText(cellBlockToText(block));
    data->setHtml(cellBlockToHtml(block));
    return data;
}

std::optional<CellBlock> cellBlockFromMimeData(const QMimeData &data, bool *tooLarge)
{
    // A form is refused whole, not read in part: a part would paste as if it were all.
    auto refused = [tooLarge](qsizetype size) {
        const bool over = size > MaxHtmlPageBytes;
        if (over && tooLarge)
            *tooLarge = true;
        return over;
    };
    const QString own = QLatin1String(CellBlockMimeType);
    if (data.hasFormat(own)) {
        const QByteArray bytes = data.data(own);
        if (refused(bytes.size()))
            return std::nullopt;
        if (auto block = decodeCellBlock(bytes))
            return block;
    }
    if (data.hasHtml()) {
        const QString html = data.html();
        if (refused(html.size()))
            return std::nullopt;
        if (auto block = cellBlockFromHtml(html))
            return block;
    }
    if (data.hasText()) {
        const QString text = data.text();
        if (refused(text.size()))
            return std::nullopt;
        CellBlock block = cellBlockFromText(text);
        if (!block.isEmpty())
            return block;
    }
    return std::nullopt;
}

PasteResult pasteCellBlock(TableModel &model, const CellBlock &block, int col, int row)
{
    PasteResult result;
    const int lastCol = CellBlock::MaxCols, lastRow = CellBlock::MaxRows;
    if (block.isEmpty() || col < 1 || row < 1 || col > lastCol || row > lastRow)
        return result;
    const int cols = std::min(block.cols, lastCol - col + 1);
    const int rows = std::min(block.rows, lastRow - row + 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            CellRecord &target = model.Cells(col + c, row + r);
            pasteRecord(target, block.at(c, r), block.source);
            // A span reaches no further than the pasted cells: past them it
            // would cover cells of the table (or rows it does not have).
            if (block.source != CellBlock::Source::Text) {
                if (target.ColSpanOn != 0)
                    target.ColSpan = std::clamp<qint32>(target.ColSpan, 1, cols - c);
                if (target.RowSpanOn != 0)
                    target.RowSpan = std::clamp<qint32>(target.RowSpan, 1, rows - r);
            }
        }
    model.TableCols = std::max<qint32>(model.TableCols, col + cols - 1);
    model.TableRows = std::max<qint32>(model.TableRows, row + rows - 1);
    result.cells = QRect(col, row, cols, rows);

    // A pasted cell under a merge the paste did not bring would be hidden:
    // that merge is undone, as spreadsheets do, so every pasted text shows.
    const QRect pasted = result.cells;
    const bool spansPasted = block.source != CellBlock::Source::Text;
    for (bool changed = true; changed;) {
        changed = false;
        SpanLayout layout;
        layout.compute(model, model.TableRows, model.TableCols);
        // Only a span can hide a pasted cell: the spans reaching into the
        // pasted cells, each undone once a round.
        QVector<QPoint> owners;
        for (const QRect &a : layout.spans()) {
            const QPoint owner = layout.owner(a.x(), a.y());
            if (!a.intersects(pasted) || (spansPasted && pasted.contains(owner)))
                continue;
            owners.append(owner);
            result.cells |= a;
        }
        // HTML 4 skips a few cells beyond a span's area too.
        for (int r = pasted.top(); r <= pasted.bottom() && owners.isEmpty(); ++r)
            for (int c = pasted.left(); c <= pasted.right() && owners.isEmpty(); ++c) {
                const QPoint owner = layout.owner(c, r);
                if (owner == QPoint(c, r) || (spansPasted && pasted.contains(owner)))
                    continue;
                owners.append(owner);
                result.cells |= layout.area(owner.x(), owner.y());
            }
        for (const QPoint owner : std::as_const(owners))
            tableedits::unmergeCells(model, QRect(owner, QSize(1, 1)));
        changed = !owners.isEmpty();
        result.unmerged = result.unmerged || changed;
    }

    const qint64 wantCols = qint64(col) + std::max(block.sourceCols, block.cols) - 1;
    const qint64 wantRows = qint64(row) + std::max(block.sourceRows, block.rows) - 1;
    if (result.unmerged)
        result.message = QCoreApplication::translate(
                "CellBlock", "貼り付けたセルが結合されたセルに隠れないように、そのセルの結合を解除しました。");
    if (wantCols > lastCol || wantRows > lastRow || rows < std::max(block.sourceRows, block.rows)) {
        result.clipped = true;
        if (!result.message.isEmpty())
            result.message += QLatin1Char('\n');
        result.message += QCoreApplication::translate(
                                 "CellBlock",
                                 "貼り付ける内容（%1 行 × %2 列）は、このセルからでは表の大きさの上限"
                                 "（%5 行 × %6 列）に収まらないため、%3 行 × %4 列だけを貼り付けました。")
                                 .arg(std::max(block.sourceRows, block.rows))
                                 .arg(std::max(block.sourceCols, block.cols))
                                 .arg(rows)
                                 .arg(cols)
                                 .arg(CellBlock::MaxRows)
                                 .arg(CellBlock::MaxCols);
    }
    return result;
}
