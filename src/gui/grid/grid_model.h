#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include "core/model/table_model.h"

class GridWidget;
class TableDocument;

// What a grid cell shows, worked out from its record when asked.
struct GridCell {
    QString text;              // the shown text (tags dropped, references decoded)
    qint32 back = 0xFFFFFF;
    bool ownBack = false;      // painted in back; else in the theme's base colour
    qint8 align = 4;           // a TextPlacement
    bool bold = false;
};

// The grid's only model: the document's table, read as the grid shows it.
// Nothing of the cells is kept but the shown form of long texts; a changed
// record, lines moved or a new table reach the view as the item model's own
// signals. The grid has a size of its own (the view's rows and columns, the
// fixed ones included), which follows the table's when the window says so,
// and moves with the table's lines.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    GridModel(const TableDocument &doc, GridWidget *grid);

    int rows() const { return m_rows; }   // the fixed row included
    int cols() const { return m_cols; }
    bool valid(int col, int row) const { return col >= 0 && col < m_cols && row >= 0 && row < m_rows; }
    // New rows or columns at the end, or the last ones gone.
    void resize(int cols, int rows);

    // A cell as the grid shows it; the fixed row and column show the numbers.
    GridCell cell(int col, int row) const;
    QString shownText(int col, int row) const;
    // Every cell (the fixed ones too) drawn again from its record.
    void refreshAll();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The table's lines moved and the grid took them (after the item model's
    // own signals): what the grid keeps by line follows.
    void tableLinesInserted(bool rows, int at, int count);
    void tableLinesRemoved(bool rows, int at, int count);
    void tableLinesMoved(bool rows, int at, const QVector<int> &order);

private:
    void onCellsChanged(QRect cells);
    void onLinesInserted(bool rows, int at, int count);
    void onLinesRemoved(bool rows, int at, int count);
    void onLinesMoved(bool rows, int at, const QVector<int> &order);
    void forgetShown(QRect cells);

    const TableDocument &m_doc;
    GridWidget *m_grid;
    int m_rows = 3;
    int m_cols = 3;
    // The shown form of long texts: working it out on every paint and every
    // measure of a row would cost more than the layout.
    mutable QHash<quint64, QString> m_shown;
    mutable qsizetype m_shownCharacters = 0;
};
