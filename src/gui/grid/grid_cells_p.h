#pragma once

// The measures painting and row fitting share. Only
// the grid's own source files include this.
#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include "gui/grid/grid_model.h"
#include "gui/grid/grid_widget.h"

namespace gridcells {

// Beyond this many remembered line counts, or this much remembered text, the
// cache starts afresh; a full table of ordinary cells always fits.
constexpr int MaxCachedLineCounts = 65536;
constexpr qsizetype MaxCachedCharacters = 16 * 1024 * 1024;

// Space between a cell's edge and its text, in pixels. Measuring and painting
// share these so a fitted row never clips its last line.
constexpr int PadX = 3;
constexpr int PadY = 2;

// Texts up to this long are laid out whole, one paragraph at a time, and their
// paragraphs' line counts are cached; longer ones are laid out only as far as
// a row can show, once per cell.
constexpr qsizetype LongText = 4096;

// A word longer than this (no break opportunity within it) is broken anywhere
// anyway; its paragraph is laid out breaking anywhere, because breaking at word
// boundaries first measures the rest of the word again for every line.
constexpr qsizetype LongWord = 512;

// Lines of long texts kept for painting (some 24 bytes each) before they are
// dropped and laid out again when painted.
constexpr qsizetype MaxKeptLongTextLines = 256 * 1024;

inline bool isBreak(QChar ch)
{
    return ch == QLatin1Char('\r') || ch == QLatin1Char('\n');
}

// Where the paragraph starting at from ends within text[from, to): the index of
// its line break, or -1 when no break comes before `to`.
inline qsizetype paragraphEnd(QStringView text, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i)
        if (isBreak(text[i]))
            return i;
    return -1;
}

inline bool isAsciiWordStart(QChar ch)
{
    const char16_t u = ch.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

inline bool hasLongWord(const QString &para)
{
    if (para.size() <= LongWord)
        return false;
    // A space before a letter or digit is always a place to break: text with
    // one at least every LongWord characters (most prose) needs no search for
    // boundaries, which costs as much as laying the text out.
    qsizetype lastBreak = 0;
    bool searched = true;
    for (qsizetype i = 1; i < para.size(); ++i) {
        if (para.at(i - 1) == QLatin1Char(' ') && isAsciiWordStart(para.at(i)))
            lastBreak = i;
        else if (i - lastBreak > LongWord) {
            searched = false;
            break;
        }
    }
    if (searched && para.size() - lastBreak <= LongWord)
        return false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, para);
    qsizetype last = 0;
    for (qsizetype at = finder.toNextBoundary(); at >= 0; at = finder.toNextBoundary()) {
        if (at - last > LongWord)
            return true;
        last = at;
    }
    return para.size() - last > LongWord;
}

// Lays out para and appends at most `limit` of its lines (starting at offset in
// the whole text) to out; returns how many lines the layout made, which may be
// one more than limit.
inline int layoutParagraph(const QString &para, qsizetype offset, int widthPx, const QFont &f, int limit,
                    QVector<GridWidget::CellLine> *out)
{
    QTextOption option;
    option.setWrapMode(hasLongWord(para) ? QTextOption::WrapAnywhere
                                         : QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextLayout layout(para, f);
    layout.setTextOption(option);
    layout.beginLayout();
    int made = 0;
    for (QTextLine line = layout.createLine(); line.isValid() && made <= limit;
         line = layout.createLine()) {
        line.setLineWidth(widthPx);
        if (out && made < limit)
            out->append({offset + line.textStart(), line.textLength(), line.naturalTextWidth()});
        ++made;
    }
    layout.endLayout();
    return made;
}

} // namespace gridcells

using namespace gridcells;

