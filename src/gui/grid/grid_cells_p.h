#pragma once

// The grid's cell store and the measures painting and row fitting share. Only
// the grid's own source files include this.
#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QTextBoundaryFinder>
#include <QTextLayout>

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

struct GridCell {
    QString text;
    qint32 back = 0xFFFFFF;
    bool ownBack = false;      // painted in back; else in the theme's base colour
    TextPlacement align = TextPlacement::LeftMiddle;
    bool bold = false;
};

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

// Cells are stored for the whole possible grid so that the fixed row and column
// are addressed like any other cell.
class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(GridWidget *grid)
        : QAbstractTableModel(grid), m_grid(grid),
          m_cells((GridWidget::MaxCols + 1) * (GridWidget::MaxRows + 1))
    {
    }

    int rows = 3;
    int cols = 3;

    GridCell &cell(int col, int row) { return m_cells[row * (GridWidget::MaxCols + 1) + col]; }
    const GridCell &cell(int col, int row) const
    {
        return m_cells[row * (GridWidget::MaxCols + 1) + col];
    }
    bool valid(int col, int row) const { return col >= 0 && col < cols && row >= 0 && row < rows; }

    void resize(int newCols, int newRows)
    {
        if (newCols == cols && newRows == rows)
            return;
        beginResetModel();
        // Cells that come back into the grid start empty, like new cells of any grid.
        for (int r = 0; r <= GridWidget::MaxRows; ++r)
            for (int c = 0; c <= GridWidget::MaxCols; ++c)
                if ((c >= cols || r >= rows) && (c < newCols && r < newRows))
                    cell(c, r) = GridCell();
        cols = newCols;
        rows = newRows;
        endResetModel();
    }

    void changed(int col, int row)
    {
        if (row == 0 && col == 0)
            return;
        if (row == 0)
            emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        else if (col == 0)
            emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
        else {
            const QModelIndex i = index(row - 1, col - 1);
            emit dataChanged(i, i);
        }
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : rows - 1;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : cols - 1;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int col = index.column() + 1, row = index.row() + 1;
        // A cell under a span is not in the HTML: a screen reader hears nothing there.
        if (role == Qt::DisplayRole && !m_grid->spanLayout().isWritten(col, row))
            return QString();
        // A merged cell tells how far it reaches.
        if (role == Qt::AccessibleDescriptionRole) {
            const QRect area = m_grid->spanLayout().area(col, row);
            if (!m_grid->spanLayout().isWritten(col, row) || area.width() * area.height() <= 1)
                return QVariant();
            return QCoreApplication::translate("GridWidget", "%1 列 × %2 行に結合").arg(area.width()).arg(area.height());
        }
        return roleData(cell(col, row), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        const int col = orientation == Qt::Horizontal ? section + 1 : 0;
        const int row = orientation == Qt::Horizontal ? 0 : section + 1;
        if (!valid(col, row))
            return {};
        const GridCell &c = cell(col, row);
        if (role == Qt::BackgroundRole)
            return {};
        return roleData(c, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        // The current cell is the grid's own; the view's selection only follows
        // it (the user never selects through the view), for assistive tools.
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    QVariant roleData(const GridCell &c, int role) const
    {
        switch (role) {
        case Qt::DisplayRole:
            return c.text;
        case Qt::BackgroundRole:
            return c.ownBack ? QVariant(GridWidget::toQColor(c.back)) : QVariant();
        case Qt::TextAlignmentRole:
            return int(GridWidget::alignmentOf(c.align));
        case Qt::FontRole: {
            QFont f = m_grid->font();
            f.setBold(c.bold);
            return f;
        }
        case Qt::ToolTipRole:
            return m_grid->toolTip();
        default:
            return {};
        }
    }

    GridWidget *m_grid;
    QVector<GridCell> m_cells;
};
