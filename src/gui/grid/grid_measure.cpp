// Row fitting: how many wrapped lines a cell's text takes at its column's
// width, cached by text, width and weight, and laid out only as far as a row
// can show for long texts.
#include "gui/grid/grid_widget.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

#include "gui/grid/grid_cells_p.h"
#include "document/table_document.h"

int GridWidget::lineHeightTwips() const
{
    return QFontMetrics(font()).lineSpacing() * TwipsPerPixel;
}

const QFont &GridWidget::measureFont(bool bold) const
{
    if (!m_measureFontsValid) {
        for (int b = 0; b < 2; ++b) {
            m_measureFont[b] = font();
            m_measureFont[b].setBold(b == 1);
            const QFontMetrics metrics(m_measureFont[b]);
            m_lineSpacing[b] = metrics.lineSpacing();
            m_averageCharPx[b] = std::max(1, metrics.averageCharWidth());
        }
        m_measureFontsValid = true;
    }
    return m_measureFont[bold ? 1 : 0];
}

int GridWidget::lineSpacingPx(bool bold) const
{
    measureFont(bold);
    return m_lineSpacing[bold ? 1 : 0];
}

int GridWidget::textWidthPx(int col) const
{
    // The view paints a cell without the grid line at its right.
    const int gridLine = showGrid() ? 1 : 0;
    return std::max(1, colWidth(col) / TwipsPerPixel - gridLine - 2 * PadX);
}

int GridWidget::maxLines(bool bold) const
{
    return MaxRowHeight / TwipsPerPixel / std::max(1, lineSpacingPx(bold)) + 1;
}

namespace {

// Each printable ASCII character's advance in one font; the last font asked
// for is kept, as a table's long texts come in one or two fonts.
const qreal *asciiAdvances(const QFont &f)
{
    static QFont known;
    static qreal advances[0x7F - 0x20];
    static bool valid = false;
    if (!valid || !(known == f)) {
        const QFontMetricsF metrics(f);
        for (int c = 0x20; c < 0x7F; ++c)
            advances[c - 0x20] = metrics.horizontalAdvance(QChar(c));
        known = f;
        valid = true;
    }
    return advances;
}

// Where the paragraph at pos ends (its break or the text's end) when it is
// all printable ASCII; -1 when it is not.
qsizetype asciiParagraphEnd(QStringView text, qsizetype pos)
{
    for (qsizetype i = pos; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\r' || u == u'\n')
            return i;
        if (u < 0x20 || u >= 0x7F)
            return -1;
    }
    return text.size();
}

// A paragraph of printable ASCII laid out from the characters' advances:
// broken after spaces, which hang past the line's end, or anywhere within a
// word longer than the line. The lines of long texts, which a shaping layout
// takes many times as long to find; painting uses the same lines.
int layoutAscii(QStringView text, qsizetype from, qsizetype to, int widthPx, const QFont &f, int limit,
                QVector<GridWidget::CellLine> *lines)
{
    const qreal *advance = asciiAdvances(f);
    int made = 0;
    qsizetype pos = from;
    while (pos < to && made <= limit) {
        qreal width = 0;
        qsizetype breakAt = -1;      // after the last run of spaces
        qreal widthAtBreak = 0;
        qsizetype i = pos;
        qsizetype end = to;
        qreal shown = 0;
        while (i < to) {
            const char16_t u = text[i].unicode();
            if (u == u' ') {
                const qreal before = width;
                while (i < to && text[i].unicode() == u' ') {
                    width += advance[0];
                    ++i;
                }
                breakAt = i;
                widthAtBreak = before;
                continue;
            }
            const qreal w = advance[u - 0x20];
            if (width + w > widthPx && i > pos) {
                if (breakAt > pos) {
                    end = breakAt;
                    shown = widthAtBreak;
                } else {
                    end = i;
                    shown = width;
                }
                break;
            }
            width += w;
            ++i;
        }
        if (i >= to) {
            end = to;
            // Spaces at the end of the paragraph take no room either.
            shown = (breakAt == to) ? widthAtBreak : width;
        }
        if (lines && made < limit)
            lines->append({pos, end - pos, shown});
        ++made;
        pos = end;
    }
    return made;
}

} // namespace

int GridWidget::layoutCellText(const QString &text, int widthPx, const QFont &f, int limit,
                               QVector<CellLine> *lines)
{
    widthPx = std::max(1, widthPx);
    const qsizetype n = text.size();
    int count = 0;
    qsizetype pos = 0;
    while (count < limit) {
        const qsizetype asciiEnd = n > LongText ? asciiParagraphEnd(text, pos) : -1;
        if (asciiEnd > pos) {
            const int wanted = limit - count;
            count += std::min(layoutAscii(text, pos, asciiEnd, widthPx, f, wanted, lines), wanted);
            if (asciiEnd >= n)
                break;
            pos = asciiEnd + 1;
            if (text.at(asciiEnd) == QLatin1Char('\r') && pos < n && text.at(pos) == QLatin1Char('\n'))
                ++pos;
            continue;
        }
        // The paragraph at pos is taken in growing pieces until it is whole or
        // its piece makes more lines than are wanted: those first lines are
        // then the paragraph's own, whatever text follows the piece.
        const int wanted = limit - count;
        qsizetype take = std::min(n - pos, LongText);
        qsizetype end = -1;
        for (;;) {
            end = paragraphEnd(text, pos, pos + take);
            const qsizetype length = end >= 0 ? end - pos : take;
            if (length == 0) {
                if (lines)
                    lines->append({pos, 0, 0});
                ++count;
                break;
            }
            QVector<CellLine> piece;
            const int made = layoutParagraph(text.mid(pos, length), pos, widthPx, f, wanted,
                                             lines ? &piece : nullptr);
            if (end >= 0 || pos + take == n || made > wanted) {
                if (lines)
                    *lines += piece;
                count += std::min(made, wanted);
                break;
            }
            // Grow the piece to about what the wanted lines need.
            const double perLine = double(take) / std::max(1, made);
            const auto estimate = qsizetype(perLine * (wanted + 1) * 1.25);
            take = std::min(n - pos, std::max(take * 2, estimate));
        }
        if (end < 0)
            break; // the text's last paragraph, or the limit reached within it
        pos = end + 1;
        if (text.at(end) == QLatin1Char('\r') && pos < n && text.at(pos) == QLatin1Char('\n'))
            ++pos;
    }
    return count;
}

int GridWidget::wrappedLines(const QString &displayText, int widthPx, bool bold) const
{
    widthPx = std::max(1, widthPx);
    const int limit = maxLines(bold);
    if (displayText.size() > LongText)
        return layoutCellText(displayText, widthPx, measureFont(bold), limit, nullptr);

    // Whole texts and their paragraphs share the cache: a text with a break is
    // never a paragraph, and a text without one is its only paragraph.
    const qsizetype n = displayText.size();
    const qsizetype first = paragraphEnd(displayText, 0, n);
    if (first < 0)
        return paragraphLines(displayText, widthPx, bold);
    const LineKey key{displayText, widthPx, bold};
    const auto known = m_lineCache.constFind(key);
    if (known != m_lineCache.cend())
        return *known;
    int lines = 0;
    qsizetype pos = 0;
    for (qsizetype end = first;; end = paragraphEnd(displayText, pos, n)) {
        const qsizetype stop = end >= 0 ? end : n;
        lines += paragraphLines(displayText.mid(pos, stop - pos), widthPx, bold);
        if (end < 0 || lines >= limit)
            break;
        pos = end + 1;
        if (displayText.at(end) == QLatin1Char('\r') && pos < n
            && displayText.at(pos) == QLatin1Char('\n'))
            ++pos;
    }
    lines = std::min(lines, limit);
    remember(key, lines);
    return lines;
}

int GridWidget::paragraphLines(const QString &para, int widthPx, bool bold) const
{
    if (para.isEmpty())
        return 1;
    const LineKey key{para, widthPx, bold};
    const auto known = m_lineCache.constFind(key);
    if (known != m_lineCache.cend())
        return *known;
    const int limit = maxLines(bold);
    const int lines = std::min(layoutParagraph(para, 0, widthPx, measureFont(bold), limit, nullptr), limit);
    remember(key, lines);
    return lines;
}

void GridWidget::remember(const LineKey &key, int lines) const
{
    // Keys share the grid's texts, but texts replaced since stay alive here.
    if (m_lineCache.size() >= MaxCachedLineCounts || m_lineCacheCharacters > MaxCachedCharacters) {
        m_lineCache.clear();
        m_lineCacheCharacters = 0;
    }
    m_lineCache.insert(key, lines);
    m_lineCacheCharacters += key.text.size();
}

GridWidget::LongTextLines &GridWidget::longText(int col, int row, int widthPx, bool withLines) const
{
    const GridCell c = m_model->cell(col, row);
    widthPx = std::max(1, widthPx);
    LongTextLines &known = m_longTextLines[cellIndex(col, row)];
    if (known.widthPx != widthPx || known.bold != c.bold) {
        m_longTextLinesKept -= known.lines.size();
        known = LongTextLines();
        known.widthPx = widthPx;
        known.bold = c.bold;
        known.count = -1;
    }
    if (withLines && !known.hasLines) {
        if (m_longTextLinesKept > MaxKeptLongTextLines) {
            for (LongTextLines &other : m_longTextLines) {
                other.lines = QVector<CellLine>();
                other.hasLines = false;
            }
            m_longTextLinesKept = 0;
        }
        known.count = layoutCellText(c.text, widthPx, measureFont(c.bold), maxLines(c.bold), &known.lines);
        known.hasLines = true;
        m_longTextLinesKept += known.lines.size();
    } else if (known.count < 0) {
        known.count = layoutCellText(c.text, widthPx, measureFont(c.bold), maxLines(c.bold), nullptr);
    }
    return known;
}

void GridWidget::forgetLongText(int col, int row)
{
    const auto known = m_longTextLines.constFind(cellIndex(col, row));
    if (known == m_longTextLines.cend())
        return;
    m_longTextLinesKept -= known->lines.size();
    m_longTextLines.erase(known);
}

int GridWidget::neededHeight(int col, int row) const
{
    return heightFor(col, row, false);
}

int GridWidget::guessedHeight(int col, int row) const
{
    return heightFor(col, row, true);
}

// A guess counts the lines the text's length would fill at the font's
// average character width: no layout at all.
int GridWidget::heightFor(int col, int row, bool guess) const
{
    if (!m_model->valid(col, row))
        return 0;
    const int padding = 2 * PadY * TwipsPerPixel;
    // A cell a span covers shows nothing: one empty line.
    if (col > 0 && row > 0 && !m_spans.isWritten(col, row))
        return lineSpacingPx(false) * TwipsPerPixel + padding;
    const int width = spanTextWidthPx(col, row);
    qint64 lines = 0;
    GridCell c;
    if (guess) {
        // The stored text's length will do: a guess needs no shown text.
        const CellRecord &rec = m_doc->cell(col, row);
        c.bold = rec.Header == -1;
        measureFont(c.bold);
        const qint64 perLine = std::max(1, width / m_averageCharPx[c.bold ? 1 : 0]);
        lines = std::clamp<qint64>((rec.Text.size() + perLine - 1) / perLine, 1, maxLines(c.bold));
    } else {
        c = m_model->cell(col, row);
        lines = c.text.size() > LongText ? longText(col, row, width, false).count
                                         : wrappedLines(c.text, width, c.bold);
    }
    qint64 need = lines * lineSpacingPx(c.bold) * TwipsPerPixel + padding;
    // A span over several rows needs from its first row only what the others lack.
    const QRect area = m_spans.area(col, row);
    if (area.height() > 1 && area.top() == row) {
        for (int r = row + 1; r <= area.bottom(); ++r)
            need -= rowHeight(r);
        need = std::max<qint64>(need, lineSpacingPx(c.bold) * TwipsPerPixel + padding);
    }
    return int(std::min<qint64>(need, MaxRowHeight));
}
