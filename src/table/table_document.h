#pragma once

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

#include "table/table_model.h"

struct MarkupInputs;

// A field of a cell record, as one control of the cell settings pane writes it.
enum class CellField {
    Text = 0x1,
    Header = 0x2,
    HeightOn = 0x4,
    Height = 0x8,
    WidthOn = 0x10,
    Width = 0x20,
    RowSpanOn = 0x40,
    RowSpan = 0x80,
    ColSpanOn = 0x100,
    ColSpan = 0x200,
    VAlign = 0x400,
    HAlign = 0x800,
    BackColor = 0x1000,
    BackColorNothing = 0x2000,
};
Q_DECLARE_FLAGS(CellFields, CellField)
Q_DECLARE_OPERATORS_FOR_FLAGS(CellFields)

// A table-wide setting, as one control of the table settings pane writes it.
enum class TableField {
    Rows = 0x1,
    Cols = 0x2,
    Title = 0x4,
    Border = 0x8,
    BackColor = 0x10,
    BackColorNothing = 0x20,
    NetscapeMode = 0x40,
    FileName = 0x80,
    OutputProfile = 0x100,  // a MarkupProfile
    WidthUnit = 0x200,      // a WidthUnit
    Width = 0x400,
};
Q_DECLARE_FLAGS(TableFields, TableField)
Q_DECLARE_OPERATORS_FOR_FLAGS(TableFields)

// The table of one window and the only way to change it. Every write happens
// the moment a control changes, through one method per kind of change, and is
// announced with the cells and fields it touched; a write that changes nothing
// announces nothing.
class TableDocument : public QObject
{
    Q_OBJECT

public:
    explicit TableDocument(QObject *parent = nullptr);

    const TableModel &model() const { return m_model; }
    const CellRecord &cell(int col, int row) const { return m_model.Cells(col, row); }

    void setCellText(int col, int row, const QString &text);
    void setCellField(int col, int row, CellField field, qint32 value);
    qint32 cellField(int col, int row, CellField field) const;
    // The record as the cell settings pane would leave it (see normalise()).
    void normaliseCell(int col, int row);

    void setTableField(TableField field, qint32 value);
    qint32 tableField(TableField field) const;
    void setTitle(const QString &title);
    void setSize(int rows, int cols);
    void normaliseTableSwitches();
    void setFileName(const QString &name);

    // Open and New: a whole new table. The file name goes with it.
    void replaceModel(const TableModel &model);

    // The generator over this table; it may set a switched-off span count to 1.
    QString generateMarkup(const MarkupInputs &in, const std::function<void(int, int)> &visitCell);

signals:
    void cellsChanged(QRect cells, CellFields fields); // x = column, y = row
    void tableChanged(TableFields fields);
    void modelReset();

private:
    TableModel m_model;
};
