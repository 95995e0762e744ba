#include "gui/grid/grid_widget.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "gui/grid/grid_cells_p.h"
#include "document/table_document.h"

namespace {

// Relative luminance and contrast ratio as the web's accessibility guidelines
// define them.
qreal luminance(const QColor &c)
{
    auto channel = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

qreal contrast(const QColor &a, const QColor &b)
{
    const qreal la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The theme's text colour where it is readable on fill (4.5 : 1), else black
// or white, whichever reads better; one of them always reaches 4.5 : 1.
QColor readableOn(const QColor &fill, const QColor &text)
{
    if (contrast(fill, text) >= 4.5)
        return text;
    return contrast(fill, Qt::black) >= contrast(fill, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

// The frame of the current cell: the theme's highlight where it stands out
// from the cell (3 : 1, as a focus indicator needs), else that highlight made
// lighter on a dark cell or darker on a light one until it does.
QColor focusFrameOn(const QColor &fill, const QColor &highlight)
{
    if (contrast(fill, highlight) >= 3.0)
        return highlight;
    const QColor towards = contrast(fill, Qt::white) >= contrast(fill, Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step < 10; ++step) {
        const qreal t = step / 10.0;
        const QColor mixed = QColor::fromRgbF(highlight.redF() + (towards.redF() - highlight.redF()) * t,
                                              highlight.greenF() + (towards.greenF() - highlight.greenF()) * t,
                                              highlight.blueF() + (towards.blueF() - highlight.blueF()) * t);
        if (contrast(fill, mixed) >= 3.0)
            return mixed;
    }
    return towards;
}

// A colour laid over fill at its own alpha, as the painter blends it.
QColor blended(const QColor &fill, const QColor &over)
{
    const qreal a = over.alphaF();
    return QColor::fromRgbF(fill.redF() * (1 - a) + over.redF() * a, fill.greenF() * (1 - a) + over.greenF() * a,
                            fill.blueF() * (1 - a) + over.blueF() * a);
}

} // namespace

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
        const GridCell c = m_grid->m_model->cell(col, row);
        const QRect rect = option.rect;

        painter->save();
        painter->setClipRect(rect);
        const QRect range = m_grid->selectedCells();
        const bool inRange = range.size() != QSize(1, 1) && range.contains(col, row);
        // A cell a span covers beyond the area drawn for it shows nothing of its own.
        if (!m_grid->m_spans.isWritten(col, row)) {
            painter->fillRect(rect, option.palette.color(QPalette::Base));
            if (inRange)
                painter->fillRect(rect, rangeTint(option));
            painter->restore();
            return;
        }
        // A cell without a colour of its own is the theme's; its text always
        // stands out from the fill, whatever colour either has.
        const QColor fill = c.ownBack ? GridWidget::toQColor(c.back) : option.palette.color(QPalette::Base);
        painter->fillRect(rect, fill);

        const QFont &font = m_grid->measureFont(c.bold);
        const QFontMetrics fm(font);
        const Qt::Alignment align = GridWidget::alignmentOf(TextPlacement(c.align));
        const int width = m_grid->spanTextWidthPx(col, row);

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
        painter->setPen(readableOn(fill, option.palette.color(QPalette::Text)));
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

        if (inRange)
            painter->fillRect(rect, rangeTint(option));
        if (col == m_grid->Col() && row == m_grid->Row()) {
            const QColor under = inRange ? blended(fill, rangeTint(option)) : fill;
            QPen pen(focusFrameOn(under, option.palette.color(QPalette::Highlight)));
            pen.setWidth(2);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(rect.adjusted(1, 1, -1, -1));
        }
        painter->restore();
    }

private:
    static QColor rangeTint(const QStyleOptionViewItem &option)
    {
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(70);
        return tint;
    }

    GridWidget *m_grid;
};

GridWidget::GridWidget(QWidget *parent, const TableDocument *doc)
    : QTableView(parent), m_doc(doc ? doc : new TableDocument(this)),
      m_model(new GridModel(*m_doc, this)),
      m_rowHeights(MaxRows + 1, 0), m_colWidths(MaxCols + 1, DefaultColWidth)
{
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    // The view's current index only follows ours (for assistive tools); the
    // grid scrolls where it means to, not to wherever that index goes.
    setAutoScroll(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAttribute(Qt::WA_InputMethodEnabled);
    // The corner selects every cell, a row or column number its line.
    setCornerButtonEnabled(true);
    disconnect(horizontalHeader(), SIGNAL(sectionPressed(int)), this, SLOT(selectColumn(int)));
    disconnect(horizontalHeader(), SIGNAL(sectionEntered(int)), this, SLOT(_q_selectColumn(int)));
    disconnect(verticalHeader(), SIGNAL(sectionPressed(int)), this, SLOT(selectRow(int)));
    disconnect(verticalHeader(), SIGNAL(sectionEntered(int)), this, SLOT(_q_selectRow(int)));
    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        const Qt::Orientation o = h->orientation();
        connect(h, &QHeaderView::sectionPressed, this, [this, o](int s) { headerPressed(o, s, false); });
        connect(h, &QHeaderView::sectionEntered, this, [this, o](int s) {
            if (QGuiApplication::mouseButtons() & Qt::LeftButton)
                headerPressed(o, s, true);
        });
    }

    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        h->setSectionsClickable(true);
        h->setHighlightSections(false);
        // Borders are dragged as in a spreadsheet (grid_borders.cpp).
        h->setSectionResizeMode(QHeaderView::Interactive);
        h->setMinimumSectionSize(1);
        h->setMaximumSectionSize(MaxRowHeight / TwipsPerPixel);
    }
    // Sizes and the current cell move with the table's lines.
    connect(m_model, &GridModel::tableLinesInserted, this, &GridWidget::linesInserted);
    connect(m_model, &GridModel::tableLinesRemoved, this, &GridWidget::linesRemoved);
    connect(m_model, &GridModel::tableLinesMoved, this, &GridWidget::linesMoved);
    // A new table: what was laid out for the old one goes.
    connect(m_doc, &TableDocument::modelReset, this, [this] {
        m_longTextLines.clear();
        m_longTextLinesKept = 0;
    });
    setUpBorderDrags();
    applyFont();
    const int lineRow = lineHeightTwips() + 2 * PadY * TwipsPerPixel;
    for (int r = 1; r < Rows(); ++r) {
        m_rowHeights[r] = lineRow;
        verticalHeader()->resizeSection(r - 1, lineRow / TwipsPerPixel);
    }
    for (int c = 1; c < Cols(); ++c)
        horizontalHeader()->resizeSection(c - 1, m_colWidths[c] / TwipsPerPixel);
    setRows(2);
    setCols(2);
}

GridWidget::~GridWidget() = default;

int GridWidget::Rows() const { return m_model->rows(); }
int GridWidget::Cols() const { return m_model->cols(); }

void GridWidget::setRows(int rows)
{
    rows = std::clamp(rows, 2, MaxRows);
    const int had = Rows();
    // A new row starts one line high.
    const int lineRow = lineHeightTwips() + 2 * PadY * TwipsPerPixel;
    for (int r = had; r < rows; ++r)
        m_rowHeights[r] = lineRow;
    m_model->resize(Cols(), rows);
    resizeSections(verticalHeader(), m_rowHeights, had, rows - 1);
    setRow(m_row);
}

void GridWidget::setCols(int cols)
{
    cols = std::clamp(cols, 2, MaxCols);
    const int had = Cols();
    // Columns keep their widths through every resize.
    m_model->resize(cols, Rows());
    resizeSections(horizontalHeader(), m_colWidths, had, cols - 1);
    setCol(m_col);
}

void GridWidget::resizeSections(QHeaderView *h, const QVector<int> &sizes, int first, int last)
{
    if (first > last)
        return;
    // See endBulkUpdate: sections changed together are placed once.
    const bool many = last > first;
    if (many)
        h->setUpdatesEnabled(false);
    for (int line = first; line <= last; ++line)
        if (h->sectionSize(line - 1) != sizes[line] / TwipsPerPixel)
            h->resizeSection(line - 1, sizes[line] / TwipsPerPixel);
    if (many) {
        h->setUpdatesEnabled(true);
        h->viewport()->update();
        viewport()->update();
    }
}

void GridWidget::linesInserted(bool rows, int at, int count)
{
    m_longTextLines.clear();
    m_longTextLinesKept = 0;
    QVector<int> &sizes = rows ? m_rowHeights : m_colWidths;
    const int fresh = rows ? lineHeightTwips() + 2 * PadY * TwipsPerPixel : DefaultColWidth;
    const int keep = sizes.size();
    sizes.insert(at, count, fresh);
    sizes.resize(keep);
    resizeSections(rows ? verticalHeader() : horizontalHeader(), sizes, at,
                   std::min(at + count, rows ? Rows() : Cols()) - 1);
    int &current = rows ? m_row : m_col;
    if (current >= at)
        current = std::min(current + count, (rows ? Rows() : Cols()) - 1);
    m_selRect = QRect();
    viewport()->update();
}

void GridWidget::linesRemoved(bool rows, int at, int count)
{
    m_longTextLines.clear();
    m_longTextLinesKept = 0;
    QVector<int> &sizes = rows ? m_rowHeights : m_colWidths;
    const int keep = sizes.size();
    sizes.remove(at, std::min(count, int(sizes.size()) - at));
    sizes.resize(keep, rows ? 0 : DefaultColWidth);
    const int lines = rows ? Rows() : Cols();
    int &current = rows ? m_row : m_col;
    if (current >= at + count)
        current -= count;
    else if (current >= at)
        current = at;
    current = std::clamp(current, std::min(1, lines - 1), lines - 1);
    m_selRect = QRect();
    viewport()->update();
}

void GridWidget::linesMoved(bool rows, int at, const QVector<int> &order)
{
    m_longTextLines.clear();
    m_longTextLinesKept = 0;
    // Lines take their sizes along.
    QVector<int> &sizes = rows ? m_rowHeights : m_colWidths;
    const QVector<int> old = sizes.mid(at, order.size());
    for (int i = 0; i < order.size(); ++i)
        sizes[at + i] = old[order[i]];
    resizeSections(rows ? verticalHeader() : horizontalHeader(), sizes, at, at + int(order.size()) - 1);
    viewport()->update();
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

void GridWidget::beginBulkUpdate()
{
    if (m_bulkDepth++ == 0) {
        m_bulkCellsChanged = false;
        m_bulkRowsResized.clear();
    }
}

void GridWidget::endBulkUpdate()
{
    if (m_bulkDepth <= 0 || --m_bulkDepth > 0)
        return;
    {
        // A header that repaints as each section changes works out every
        // section's place each time: thousands of rows would take seconds.
        QHeaderView *h = verticalHeader();
        const bool many = m_bulkRowsResized.size() > 1;
        if (many)
            h->setUpdatesEnabled(false);
        for (int r : std::as_const(m_bulkRowsResized))
            if (r > 0 && r < Rows() && h->sectionSize(r - 1) != m_rowHeights[r] / TwipsPerPixel)
                h->resizeSection(r - 1, m_rowHeights[r] / TwipsPerPixel);
        if (many) {
            h->setUpdatesEnabled(true);
            h->viewport()->update();
            viewport()->update();
        }
    }
    m_bulkRowsResized.clear();
    if (m_bulkCellsChanged)
        viewport()->update();
    m_bulkCellsChanged = false;
}

void GridWidget::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    // A text laid out before is laid out again.
    if (!m_longTextLines.isEmpty()) {
        const QRect cells(QPoint(topLeft.column() + 1, topLeft.row() + 1),
                          QPoint(bottomRight.column() + 1, bottomRight.row() + 1));
        for (auto it = m_longTextLines.begin(); it != m_longTextLines.end();) {
            if (cells.contains(int(quint32(it.key())), int(it.key() >> 32))) {
                m_longTextLinesKept -= it->lines.size();
                it = m_longTextLines.erase(it);
            } else {
                ++it;
            }
        }
    }
    QTableView::dataChanged(topLeft, bottomRight, roles);
}

qsizetype GridWidget::storedTextLength(int col, int row) const
{
    return col > 0 && row > 0 && m_model->valid(col, row) ? m_doc->cell(col, row).Text.size() : 0;
}

QString GridWidget::text(int col, int row) const
{
    return m_model->shownText(col, row);
}

qint32 GridWidget::cellBackColor(int col, int row) const
{
    return m_model->cell(col, row).back;
}

bool GridWidget::cellBold(int col, int row) const
{
    return m_model->cell(col, row).bold;
}

TextPlacement GridWidget::cellAlignment(int col, int row) const
{
    return m_model->valid(col, row) ? TextPlacement(m_model->cell(col, row).align) : TextPlacement::LeftMiddle;
}

int GridWidget::rowHeight(int row) const
{
    if (row == 0)
        return m_row0Height > 0 ? m_row0Height : horizontalHeader()->sizeHint().height() * TwipsPerPixel;
    return (row > 0 && row < Rows()) ? m_rowHeights[row] : 0;
}

void GridWidget::setRowHeight(int row, int twips)
{
    if (row < 0 || row >= Rows())
        return;
    twips = std::clamp(twips, TwipsPerPixel, MaxRowHeight);
    if (row == 0) {
        m_row0Height = twips;
        horizontalHeader()->setFixedHeight(twips / TwipsPerPixel);
        return;
    }
    if (m_rowHeights[row] == twips)
        return;
    m_rowHeights[row] = twips;
    if (m_bulkDepth > 0)
        m_bulkRowsResized.append(row);
    else
        verticalHeader()->resizeSection(row - 1, twips / TwipsPerPixel);
}

int GridWidget::colWidth(int col) const
{
    if (col == 0)
        return m_col0Width > 0 ? m_col0Width : verticalHeader()->sizeHint().width() * TwipsPerPixel;
    return (col > 0 && col < Cols()) ? m_colWidths[col] : 0;
}

void GridWidget::setColWidth(int col, int twips)
{
    if (col < 0 || col >= Cols())
        return;
    twips = std::clamp(twips, TwipsPerPixel, 32767 * TwipsPerPixel);
    if (col == 0) {
        m_col0Width = twips;
        verticalHeader()->setFixedWidth(twips / TwipsPerPixel);
        return;
    }
    m_colWidths[col] = twips;
    horizontalHeader()->resizeSection(col - 1, twips / TwipsPerPixel);
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

QRect GridWidget::cellRect(int col, int row)
{
    if (col < 1 || row < 1 || !m_model->valid(col, row))
        return {};
    const QModelIndex i = m_model->index(row - 1, col - 1);
    scrollTo(i);
    return visualRect(i);
}

Qt::Alignment GridWidget::alignmentOf(TextPlacement placement)
{
    const int code = int(placement);
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
    const int lineRow = lineHeightTwips() + 2 * PadY * TwipsPerPixel;
    verticalHeader()->setDefaultSectionSize(lineRow / TwipsPerPixel);
}
