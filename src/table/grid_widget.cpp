#include "grid_widget.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace {

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
    qint8 align = 1; // left, centre
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

bool isBreak(QChar ch)
{
    return ch == QLatin1Char('\r') || ch == QLatin1Char('\n');
}

// Where the paragraph starting at from ends within text[from, to): the index of
// its line break, or -1 when no break comes before `to`.
qsizetype paragraphEnd(QStringView text, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i)
        if (isBreak(text[i]))
            return i;
    return -1;
}

bool hasLongWord(const QString &para)
{
    if (para.size() <= LongWord)
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
int layoutParagraph(const QString &para, qsizetype offset, int widthPx, const QFont &f, int limit,
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

} // namespace

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
        const GridCell &c = cell(index.column() + 1, index.row() + 1);
        return roleData(c, role);
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
        // Enabled but not selectable: the current cell is the grid's own, not the view's.
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

private:
    QVariant roleData(const GridCell &c, int role) const
    {
        switch (role) {
        case Qt::DisplayRole:
            return c.text;
        case Qt::BackgroundRole:
            return GridWidget::toQColor(c.back);
        case Qt::TextAlignmentRole:
            return int(GridWidget::alignmentFromCode(c.align));
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

// Paints a data cell: its colour, its wrapped text laid out exactly as the
// row fitting measured it, and a frame on the current cell.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(GridWidget *grid)
        : QStyledItemDelegate(grid), m_grid(grid)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const int col = index.column() + 1;
        const int row = index.row() + 1;
        const GridCell &c = m_grid->m_model->cell(col, row);
        const QRect rect = option.rect;

        painter->save();
        painter->setClipRect(rect);
        painter->fillRect(rect, GridWidget::toQColor(c.back));

        const QFont &font = m_grid->measureFont(c.bold);
        const QFontMetrics fm(font);
        const Qt::Alignment align = GridWidget::alignmentFromCode(c.align);
        const int width = m_grid->textWidthPx(col);

        // The same lines the row fitting counted; all of them first, as the
        // vertical alignment needs their total height.
        const int limit = m_grid->maxLines(c.bold);
        QVector<GridWidget::CellLine> ownLines;
        const QVector<GridWidget::CellLine> *lines = &ownLines;
        if (c.text.size() > LongText)
            lines = &m_grid->longText(col, row, width, true).lines;
        else
            GridWidget::layoutCellText(c.text, width, font, limit, &ownLines);

        const int lineHeight = fm.lineSpacing();
        const int total = int(lines->size()) * lineHeight;
        int y = rect.top() + PadY;
        const int inner = rect.height() - 2 * PadY;
        // A text taller than any row shows its start.
        if (lines->size() < limit) {
            if (align & Qt::AlignVCenter)
                y += (inner - total) / 2;
            else if (align & Qt::AlignBottom)
                y += inner - total;
        }

        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Text));
        for (const GridWidget::CellLine &line : *lines) {
            if (y >= rect.bottom())
                break;
            if (y + lineHeight > rect.top()) {
                qreal x = rect.left() + PadX;
                if (align & Qt::AlignHCenter)
                    x += (width - line.width) / 2;
                else if (align & Qt::AlignRight)
                    x += width - line.width;
                painter->drawText(QPointF(x, y + fm.ascent()), c.text.mid(line.start, line.length));
            }
            y += lineHeight;
        }

        if (col == m_grid->Col() && row == m_grid->Row()) {
            QPen pen(option.palette.color(QPalette::Highlight));
            pen.setWidth(2);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect.adjusted(1, 1, -1, -1));
        }
        painter->restore();
    }

private:
    GridWidget *m_grid;
};

GridWidget::GridWidget(QWidget *parent)
    : QTableView(parent), m_model(new GridModel(this)),
      m_rowHeights(MaxRows + 1, 0), m_colWidths(MaxCols + 1, DefaultColWidth)
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAttribute(Qt::WA_InputMethodEnabled);
    setCornerButtonEnabled(false);

    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        h->setSectionsClickable(false);
        h->setHighlightSections(false);
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(1);
        h->setMaximumSectionSize(MaxRowHeight / 15);
    }
    // Sections follow our stored sizes after every reset of the model.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        // Cells that come back start empty.
        m_longTextLines.clear();
        m_longTextLinesKept = 0;
        const int lineRow = lineHeightTwips() + 2 * PadY * 15;
        for (int r = 1; r < Rows(); ++r) {
            if (m_rowHeights[r] <= 0)
                m_rowHeights[r] = lineRow;
            verticalHeader()->resizeSection(r - 1, m_rowHeights[r] / 15);
        }
        for (int c = 1; c < Cols(); ++c)
            horizontalHeader()->resizeSection(c - 1, m_colWidths[c] / 15);
    });
    applyFont();
    m_model->resize(2, 2);
}

GridWidget::~GridWidget() = default;

int GridWidget::Rows() const { return m_model->rows; }
int GridWidget::Cols() const { return m_model->cols; }

void GridWidget::setRows(int rows)
{
    rows = std::clamp(rows, 2, MaxRows);
    for (int r = m_model->rows; r < rows; ++r)
        m_rowHeights[r] = 0; // a new row starts one line high
    m_model->resize(m_model->cols, rows);
    setRow(m_row);
}

void GridWidget::setCols(int cols)
{
    cols = std::clamp(cols, 2, MaxCols);
    m_model->resize(cols, m_model->rows);
    setCol(m_col);
}

void GridWidget::setRow(int row)
{
    row = std::clamp(row, 0, Rows() - 1);
    if (row == m_row)
        return;
    const int old = m_row;
    m_row = row;
    updateCell(m_col, old);
    updateCell(m_col, m_row);
}

void GridWidget::setCol(int col)
{
    col = std::clamp(col, 0, Cols() - 1);
    if (col == m_col)
        return;
    const int old = m_col;
    m_col = col;
    updateCell(old, m_row);
    updateCell(m_col, m_row);
}

void GridWidget::updateCell(int col, int row)
{
    if (m_bulkDepth > 0) {
        m_bulkCellsChanged = true;
        return;
    }
    if (col >= 1 && row >= 1 && m_model->valid(col, row))
        viewport()->update(visualRect(m_model->index(row - 1, col - 1)));
}

void GridWidget::cellChanged(int col, int row)
{
    if (m_bulkDepth > 0)
        m_bulkCellsChanged = true;
    else
        m_model->changed(col, row);
}

void GridWidget::beginBulkUpdate()
{
    if (m_bulkDepth++ == 0) {
        m_bulkCellsChanged = false;
        m_bulkRowResized.fill(false, MaxRows + 1);
    }
}

void GridWidget::endBulkUpdate()
{
    if (m_bulkDepth <= 0 || --m_bulkDepth > 0)
        return;
    for (int r = 1; r < Rows(); ++r) {
        if (m_bulkRowResized.at(r))
            verticalHeader()->resizeSection(r - 1, m_rowHeights[r] / 15);
    }
    if (m_bulkCellsChanged) {
        if (Rows() > 1 && Cols() > 1)
            emit m_model->dataChanged(m_model->index(0, 0), m_model->index(Rows() - 2, Cols() - 2));
        if (Cols() > 1)
            emit m_model->headerDataChanged(Qt::Horizontal, 0, Cols() - 2);
        if (Rows() > 1)
            emit m_model->headerDataChanged(Qt::Vertical, 0, Rows() - 2);
        viewport()->update();
    }
    m_bulkCellsChanged = false;
}

QString GridWidget::text(int col, int row) const
{
    return m_model->valid(col, row) ? m_model->cell(col, row).text : QString();
}

void GridWidget::setText(int col, int row, const QString &text)
{
    if (!m_model->valid(col, row))
        return;
    GridCell &c = m_model->cell(col, row);
    if (c.text == text)
        return;
    c.text = text;
    forgetLongText(col, row);
    cellChanged(col, row);
}

qint32 GridWidget::cellBackColor(int col, int row) const
{
    return m_model->valid(col, row) ? m_model->cell(col, row).back : 0xFFFFFF;
}

void GridWidget::setCellBackColor(int col, int row, qint32 color)
{
    if (!m_model->valid(col, row))
        return;
    GridCell &c = m_model->cell(col, row);
    if (c.back == color)
        return;
    c.back = color;
    cellChanged(col, row);
}

bool GridWidget::cellBold(int col, int row) const
{
    return m_model->valid(col, row) && m_model->cell(col, row).bold;
}

void GridWidget::setCellBold(int col, int row, bool bold)
{
    if (!m_model->valid(col, row))
        return;
    GridCell &c = m_model->cell(col, row);
    if (c.bold == bold)
        return;
    c.bold = bold;
    cellChanged(col, row);
}

int GridWidget::cellAlignment(int col, int row) const
{
    return m_model->valid(col, row) ? m_model->cell(col, row).align : 1;
}

void GridWidget::setCellAlignment(int col, int row, int code)
{
    if (!m_model->valid(col, row) || code < 0 || code > 8)
        return;
    GridCell &c = m_model->cell(col, row);
    if (c.align == code)
        return;
    c.align = qint8(code);
    cellChanged(col, row);
}

int GridWidget::rowHeight(int row) const
{
    if (row == 0)
        return m_row0Height > 0 ? m_row0Height : horizontalHeader()->sizeHint().height() * 15;
    return (row > 0 && row < Rows()) ? m_rowHeights[row] : 0;
}

void GridWidget::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= Rows())
        return;
    twips = std::clamp(twips, 15, MaxRowHeight);
    if (row == 0) {
        m_row0Height = twips;
        horizontalHeader()->setFixedHeight(twips / 15);
        return;
    }
    if (m_rowHeights[row] == twips)
        return;
    m_rowHeights[row] = twips;
    if (m_bulkDepth > 0)
        m_bulkRowResized[row] = true;
    else
        verticalHeader()->resizeSection(row - 1, twips / 15);
}

int GridWidget::colWidth(int col) const
{
    if (col == 0)
        return m_col0Width > 0 ? m_col0Width : verticalHeader()->sizeHint().width() * 15;
    return (col > 0 && col < Cols()) ? m_colWidths[col] : 0;
}

void GridWidget::setColWidth(int col, int twips)
{
    if (col < 0 || col >= Cols())
        return;
    twips = std::clamp(twips, 15, 32767 * 15);
    if (col == 0) {
        m_col0Width = twips;
        verticalHeader()->setFixedWidth(twips / 15);
        return;
    }
    m_colWidths[col] = twips;
    horizontalHeader()->resizeSection(col - 1, twips / 15);
}

void GridWidget::setFixedCellsButtonFace()
{
    // Runs on every cell refresh: only a real change touches the palettes.
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        if (h->palette().color(QPalette::Button) == face)
            continue;
        QPalette p = h->palette();
        p.setColor(QPalette::Button, face);
        h->setPalette(p);
    }
}

int GridWidget::lineHeightTwips() const
{
    return QFontMetrics(font()).lineSpacing() * 15;
}

const QFont &GridWidget::measureFont(bool bold) const
{
    if (!m_measureFontsValid) {
        for (int b = 0; b < 2; ++b) {
            m_measureFont[b] = font();
            m_measureFont[b].setBold(b == 1);
            m_lineSpacing[b] = QFontMetrics(m_measureFont[b]).lineSpacing();
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
    return std::max(1, colWidth(col) / 15 - gridLine - 2 * PadX);
}

int GridWidget::maxLines(bool bold) const
{
    return MaxRowHeight / 15 / std::max(1, lineSpacingPx(bold)) + 1;
}

int GridWidget::layoutCellText(const QString &text, int widthPx, const QFont &f, int limit,
                               QVector<CellLine> *lines)
{
    widthPx = std::max(1, widthPx);
    const qsizetype n = text.size();
    int count = 0;
    qsizetype pos = 0;
    while (count < limit) {
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
    const GridCell &c = m_model->cell(col, row);
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
    if (!m_model->valid(col, row))
        return 0;
    const GridCell &c = m_model->cell(col, row);
    const int width = textWidthPx(col);
    const qint64 lines = c.text.size() > LongText ? longText(col, row, width, false).count
                                                   : wrappedLines(c.text, width, c.bold);
    const qint64 need = lines * lineSpacingPx(c.bold) * 15 + 2 * PadY * 15;
    return int(std::min<qint64>(need, MaxRowHeight));
}

QRect GridWidget::cellRect(int col, int row)
{
    if (col < 1 || row < 1 || !m_model->valid(col, row))
        return {};
    const QModelIndex i = m_model->index(row - 1, col - 1);
    scrollTo(i);
    return visualRect(i);
}

Qt::Alignment GridWidget::alignmentFromCode(int code)
{
    if (code < 0 || code > 8)
        code = 1;
    static const Qt::Alignment h[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment v[3] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return h[code / 3] | v[code % 3];
}

QColor GridWidget::toQColor(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void GridWidget::applyFont()
{
    // Measurements belong to the font they were taken in.
    m_lineCache.clear();
    m_lineCacheCharacters = 0;
    m_longTextLines.clear();
    m_longTextLinesKept = 0;
    m_measureFontsValid = false;
    const int lineRow = lineHeightTwips() + 2 * PadY * 15;
    verticalHeader()->setDefaultSectionSize(lineRow / 15);
}
