#pragma once

#include <QBitArray>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QVector>

#include "core/model/cell_finder.h"
#include "core/model/table_edits.h"
#include "core/model/table_tools.h"
#include "document/table_document.h"

class QLineEdit;
class QMenu;
class QWidget;
class GridClipboard;
class GridWidget;
class RowFitter;

// The grid Grid with its in-place box txtInsert: shows the document's cells,
// keeps each row as tall as its tallest cell, and stores what is typed into a
// cell. Both controls are children of the given parent, where the window lays
// them out.
class GridEditor : public QObject
{
    Q_OBJECT

public:
    GridEditor(TableDocument &doc, QWidget *parent);

    GridWidget *grid() const { return Grid; }
    GridClipboard *clipboard() const { return m_clipboard; }

    // For each grid row, the column whose text last set the row's height.
    QVector<qint32> RowHeightCol;
    void resetRowHeightCol(int upper);      // indices 0..upper, all 0
    bool ShiftKeyPush = false;              // Shift at the last key or mouse event on the grid

    // Rows top..bottom shown afresh from their records, each as tall as its
    // tallest cell. Every refresh of the grid's cells, a few or all, is this.
    void refreshRows(int top, int bottom);
    // A new table: every row fitted afresh, then Grid_Click on (1, 1).
    void refreshAll();
    // The grid shown again (the cells view): what changed while it was
    // hidden is already in it; the current cell and the range stay, and only
    // rows the grid gained are fitted.
    void showAgain();
    // Stores text into the current cell and fits its row (the editor's way back).
    void SettingText(const QString &GridSelText);
    void hideBox();
    bool boxOpen() const;
    // Text still in the in-place box goes into its cell. Every command that
    // reads or rebuilds the table runs this first.
    void commitOpenBox();

    // The selected table cells (x = column, y = row), whole spans included;
    // at least the current cell.
    QRect selectedCells() const;
    bool selectionAllHeaders() const;       // every selected cell is a header cell
    // The switches every shown cell of the range has: 1 (-1 for Header) where all have it.
    CellRecord selectionAllOf() const;
    // The spans the grid draws, from the document as it is now.
    void updateSpans();
    // Merging and the rows and columns, as items at the end of menu.
    void addCommandsTo(QMenu *menu);

    // Find and Replace (grid_tools.cpp), through the document. The cell found
    // becomes current and shows.
    FoundCell findNext(const CellFinder &finder, bool backward);
    // The current cell's matches replaced, as one step.
    ReplaceSummary replaceInCurrent(const CellFinder &finder, const QString &with);
    // Every written cell's matches, as one step; a summary that stops changed nothing.
    ReplaceSummary replaceAll(const CellFinder &finder, const QString &with);
    // Column widths and row heights as the output gives them.
    void showLineSizes();

public slots:
    void Grid_Click();
    void Grid_DblClick();
    void Grid_KeyPress(int &KeyAscii);
    void Grid_LeaveCell();
    void txtInsert_KeyPress(int &KeyAscii);
    void txtInsert_LostFocus();

    // The Cell menu's commands on the selected cells (grid_commands.cpp), each
    // one undo step.
    void clearSelectedText();
    void mergeSelection();
    void unmergeSelection();
    void insertRows(bool after);
    void insertCols(bool after);
    void deleteRows();
    void deleteCols();
    // The data tools (grid_data_tools.cpp). A sort takes the selected rows
    // (every row when one is selected) by the current column, or by the keys
    // of the sort dialog, leaving the header, label and footer rows in place.
    void sortRows(bool descending, tableedits::SortKey key);
    void showSortDialog();
    void transposeTable();
    // The first cell of the range copied down or right, or continued as a series.
    void fillSelection(bool down);
    void fillSelectionSeries(bool down);
    void insertRowNumbers();
    // A dragged border: the column's or row's cells take the size.
    void setColumnWidth(int col, int px);
    void setRowHeight(int row, int px);
    void fitColumn(int col);
    // Every data cell of the selected columns aligned left, centre or right
    // (HAlign 0..2), whole columns whatever rows are selected.
    void alignColumns(int hAlign);

signals:
    // Grid_Click ended on this cell: the cell settings pane shows it.
    void cellShown(int col, int row);
    void multiLineEditRequested();          // Shift + double-click
    void cellMenuRequested(QPoint globalPos);
    // The table's rows or columns changed under the grid (a command, an
    // undo): the size boxes follow. The grid has followed already.
    void tableResized();

private:
    void onCellsChanged(QRect cells, CellFields fields);
    void onLinesChanged(bool rows);
    void fitRows(int top, int bottom);      // now, or when they come into view
    void openInsertBox(bool withExistingText);
    void commitInsertBox(bool fromEnter);
    void closeInsertBox();
    bool gridAtTableSize() const;
    void followTableSize();
    void showCurrent(QPoint cell);
    void tell(const QString &text);
    // One step of the document; false, with nothing changed and a message,
    // when memory ran out.
    bool runTool(const QString &step, const std::function<void(TableModel &)> &fn);
    void sortBy(const QVector<tabletools::SortKey> &keys, const tabletools::SortFrame &frame);
    void tellFill(tabletools::FillStatus status);

    TableDocument &m_doc;
    GridWidget *Grid;
    QLineEdit *txtInsert;
    GridClipboard *m_clipboard;
    RowFitter *m_rowFitter;
    bool m_closingBox = false;
    QVector<bool> m_widthFromCells;          // by column: sized by its cells' widths
    QSize m_laidOutFor;                      // the grid's size the spans were laid out for
};
