#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QTableView>
#include <QVector>

#include "core/model/table_edits.h"
#include "gui/widgets/twips.h"

class GridModel;
class QHeaderView;
class TableDocument;

// Where a grid cell puts its text: the records' HAlign (left, centre, right)
// and VAlign (top, middle, bottom) in one value.
enum class TextPlacement : qint8 {
    LeftTop, LeftMiddle, LeftBottom,
    CentreTop, CentreMiddle, CentreBottom,
    RightTop, RightMiddle, RightBottom
};

inline TextPlacement placementOf(int hAlign, int vAlign)
{
    return TextPlacement(qBound(0, hAlign, 2) * 3 + qBound(0, vAlign, 2));
}

// The cell grid: one fixed row 0 and one fixed column 0 (shown as the view's
// headers, so they never scroll away) plus the table cells. Indices always
// count the fixed row and column, as the table model's Cells(c, r) do. The
// cells are the document's, read through GridModel; the grid keeps only how
// they are laid out (sizes, spans, the current cell and range).
//
// The current cell (Row(), Col()) is ours, not the view's selection: the
// refresh loops walk every cell, the fixed ones included, and must stay cheap
// and silent. Only the user moving the current cell emits signals.
class GridWidget : public QTableView
{
    Q_OBJECT

public:
    // Without a document the grid shows an empty one of its own.
    explicit GridWidget(QWidget *parent = nullptr, const TableDocument *doc = nullptr);
    ~GridWidget() override;

    static constexpr int MaxRows = TableLimits::MaxRows + 1; // the fixed row too
    static constexpr int MaxCols = TableLimits::MaxCols + 1;
    static constexpr int DefaultColWidth = 1200;  // twips
    static constexpr int MaxRowHeight = 32767 * TwipsPerPixel; // twips; taller rows are capped

    int Rows() const;
    int Cols() const;
    void setRows(int rows);                       // kept within 2..MaxRows
    void setCols(int cols);

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    void setRow(int row);                         // no signals; clamped into the grid
    void setCol(int col);

    // What a cell shows: its text as the grid shows it, its colour
    // (0x00BBGGRR; white for a cell without its own), weight and placement.
    QString text(int col, int row) const;
    qint32 cellBackColor(int col, int row) const;
    bool cellBold(int col, int row) const;
    TextPlacement cellAlignment(int col, int row) const;
    GridModel *gridModel() const { return m_model; }
    // How long the cell's stored text is: enough to tell a cheap refit.
    qsizetype storedTextLength(int col, int row) const;

    int rowHeight(int row) const;                 // twips
    void setRowHeight(int row, int twips);
    int colWidth(int col) const;                  // twips
    void setColWidth(int col, int twips);

    // The widest line of a column's shown texts, in pixels, with the cell's
    // padding: the width a double-click on its border fits it to.
    int naturalColWidthPx(int col) const;
    // Moves the current cell as a click on it would.
    void moveCurrentTo(int col, int row);

    // Paints the fixed row and column in the system's button-face colour.
    void setFixedCellsButtonFace();

    // Row fitting: height in twips the text needs at the width of column col,
    // in the cell's own font, capped at MaxRowHeight. An empty text is one line.
    int neededHeight(int col, int row) const;
    // A quick guess at it from the text's length alone, for rows not in view.
    int guessedHeight(int col, int row) const;
    int lineHeightTwips() const;                  // h: height of one line of "A"
    // Lines of a display text wrapped as a cell paints it, counted up to
    // maxLines(bold): more than the tallest row can show.
    int wrappedLines(const QString &displayText, int widthPx, bool bold) const;
    int maxLines(bool bold) const;
    int textWidthPx(int col) const;               // the width a cell's text wraps at

    // One line of a cell's display text: where it starts in the text, its
    // length and its width in pixels.
    struct CellLine {
        qsizetype start;
        qsizetype length;
        qreal width;
    };
    // The lines of a display text at widthPx, as a cell paints them and the
    // row fitting counts them: CR LF, CR or LF end a line, and a line wraps at
    // word boundaries, or anywhere within a word longer than the line. At most
    // `limit` lines are laid out, and only as much text as they need: the work
    // stays bounded whatever the length of the text.
    static int layoutCellText(const QString &text, int widthPx, const QFont &f, int limit,
                              QVector<CellLine> *lines);

    // Where the cell is, in viewport coordinates (scrolled into view first).
    QRect cellRect(int col, int row);

    // The cells the generator writes and what each spans: a spanned cell is
    // drawn across its area, and the user's moves land on the cell a skipped
    // one belongs to. The program's own setRow/setCol still reach every cell.
    void setSpanLayout(const SpanLayout &layout);
    const SpanLayout &spanLayout() const { return m_spans; }

    // The selected table cells (x = column, y = row), whole spans included:
    // the range the user made from the current cell, or the current cell.
    QRect selectedCells() const;
    // A range made from the current cell, which stays; no signals.
    void selectCells(QRect cells);
    // The user's range holds more than the current cell (and its span).
    bool hasRange() const;
    // Every table cell (the corner button); the current cell stays.
    void selectAll() override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // Tab and Shift+Tab: the next or previous written cell, row by row.
    void moveByTab(bool backward);
    // One written cell down, up, left or right, as the arrow keys move; at
    // the edge the current cell stays.
    void moveByStep(int dc, int dr);

    // Bulk work (a refresh of every cell): cell changes, current-cell moves and
    // row heights are kept silently and reach the view once, at the end.
    // Nests; the outermost end does the update.
    void beginBulkUpdate();
    void endBulkUpdate();
    bool inBulkUpdate() const { return m_bulkDepth > 0; }

    // begin/endBulkUpdate for a scope; a null grid does nothing.
    class BulkUpdate
    {
    public:
        explicit BulkUpdate(GridWidget *grid) : m_grid(grid)
        {
            if (m_grid)
                m_grid->beginBulkUpdate();
        }
        ~BulkUpdate()
        {
            if (m_grid)
                m_grid->endBulkUpdate();
        }
        BulkUpdate(const BulkUpdate &) = delete;
        BulkUpdate &operator=(const BulkUpdate &) = delete;

    private:
        GridWidget *m_grid;
    };

    static Qt::Alignment alignmentOf(TextPlacement placement);
    static QColor toQColor(qint32 bgr);

signals:
    void leaveCell();                              // before the user moves the current cell
    void cellMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void cellClicked();
    void cellDoubleClicked();
    void currentMovedByKey();                      // after a keyboard move
    void keyPress(int &keyAscii);                  // a typed character (code point)
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    void imeStarted(QInputMethodEvent *event);     // input method text begins on the grid
    void clearRequested();                         // Delete or Backspace on the grid
    void editRequested();                          // F2
    void menuKeyPressed();                         // the Menu key or Shift+F10
    void selectionChanged();                       // the range changed, the current cell did not
    // The user dragged a column's or row's border to px pixels (once, on release),
    // or double-clicked a column's border.
    void colWidthDragged(int col, int px);
    void rowHeightDragged(int row, int px);
    void colFitRequested(int col);
    void rowAboutToShow(int row);                  // scrolled to: it must have its height

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    friend class GridDelegate;
    bool cellAt(const QPoint &pos, int &col, int &row) const;
    void moveCurrentByUser(int col, int row);
    // Selection (grid_selection.cpp).
    QPoint stepFrom(QPoint from, int dc, int dr) const;
    QPoint extentPoint() const;
    void extendTo(QPoint cell);
    void collapseSelection();
    void followInView();
    void setRange(QRect cells, QPoint extent);
    void headerPressed(Qt::Orientation orientation, int section, bool dragged);
    int spanTextWidthPx(int col, int row) const;
    void updateCell(int col, int row);
    void applyFont();
    // Sections first..last of h at sizes (twips by line).
    void resizeSections(QHeaderView *h, const QVector<int> &sizes, int first, int last);
    // The table's lines moved under the grid: sizes and the current cell go with them.
    void linesInserted(bool rows, int at, int count);
    void linesRemoved(bool rows, int at, int count);
    void linesMoved(bool rows, int at, const QVector<int> &order);

    // Line counts of paragraphs by text, width and weight: a whole-table
    // refresh measures each cell's holder again, and texts and their lines
    // repeat across cells and refreshes. Only short texts are kept here.
    struct LineKey {
        QString text;
        int widthPx;
        bool bold;
        bool operator==(const LineKey &o) const
        {
            return widthPx == o.widthPx && bold == o.bold && text == o.text;
        }
    };
    friend size_t qHash(const LineKey &key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.text, key.widthPx, key.bold);
    }
    const QFont &measureFont(bool bold) const;
    int lineSpacingPx(bool bold) const;
    int paragraphLines(const QString &para, int widthPx, bool bold) const;
    void remember(const LineKey &key, int lines) const;

    // A long text's line count and lines, laid out once per cell, width and
    // weight: hashing or comparing the text on every look-up would cost more
    // than the layout. Forgotten when the cell's text or the font changes;
    // the lines (only painting needs them) also when too many are kept.
    struct LongTextLines {
        int widthPx = -1;
        bool bold = false;
        int count = 0;
        bool hasLines = false;
        QVector<CellLine> lines;
    };
    LongTextLines &longText(int col, int row, int widthPx, bool withLines) const;
    void forgetLongText(int col, int row);
    int heightFor(int col, int row, bool guess) const;
    static quint64 cellIndex(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }

    const TableDocument *m_doc;
    GridModel *m_model;
    int m_row = 0;
    int m_col = 0;
    int m_row0Height = 0;                          // twips of the fixed row
    int m_col0Width = 0;                           // twips of the fixed column
    QVector<int> m_rowHeights;                     // twips per row, index = grid row
    QVector<int> m_colWidths;                      // twips per column
    bool m_pressedOnCell = false;
    bool m_dragging = false;                       // a left press on a cell, until released

    SpanLayout m_spans;
    bool m_spansApplied = false;                   // the view holds m_spans' areas
    QPoint m_selFor;                               // the current cell the range was made from
    QRect m_selRect;                               // the range, valid while m_selFor is current
    QPoint m_extent;                               // the range's far end, moved by Shift
    int m_lineAnchor = 1;                          // the first row/column number pressed

    bool m_headerPressed = false;                  // a button held on a row or column number
    Qt::Orientation m_dragOrientation = Qt::Horizontal;
    int m_dragSection = -1;                        // the border being dragged, until released
    void setUpBorderDrags();                       // grid_borders.cpp

    int m_bulkDepth = 0;
    bool m_bulkCellsChanged = false;
    QVector<int> m_bulkRowsResized;                // grid rows whose height changed

    mutable QHash<LineKey, int> m_lineCache;
    mutable QHash<quint64, LongTextLines> m_longTextLines; // by cellIndex
    mutable qsizetype m_longTextLinesKept = 0;
    mutable qsizetype m_lineCacheCharacters = 0;
    mutable QFont m_measureFont[2];                // regular, bold; rebuilt on a font change
    mutable int m_lineSpacing[2] = {-1, -1};
    mutable int m_averageCharPx[2] = {1, 1};
    mutable bool m_measureFontsValid = false;
};
