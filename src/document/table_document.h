#pragma once

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QString>
#include <QUndoStack>
#include <QVector>

#include <functional>

#include "core/model/table_model.h"

struct TableSettings;

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
    Class = 0x4000,
    Scope = 0x8000,         // a CellScope
    WidthPercent = 0x10000, // 0 pixels, 1 per cent
    HeightPercent = 0x20000,
    Style = 0x40000,        // the cell's own CSS
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
    Style = 0x800,          // a PresentationStyle
    Id = 0x1000,
    Class = 0x2000,
    FooterRows = 0x4000,
    Preset = 0x8000,        // a TablePreset
    CssPlace = 0x10000,     // a CssPlacement
    Responsive = 0x20000,
};
Q_DECLARE_FLAGS(TableFields, TableField)
Q_DECLARE_OPERATORS_FOR_FLAGS(TableFields)

// The table of one window and the only way to change it. Every write happens
// the moment a control changes, through one method per kind of change, and is
// announced with the cells and fields it touched; a write that changes nothing
// announces nothing. Every change the user makes is a step on the undo stack;
// adjustments that do not change what the table says (a record read as the
// panes would write it, the generator's span fixes) are not.
class TableDocument : public QObject
{
    Q_OBJECT

public:
    explicit TableDocument(QObject *parent = nullptr);
    ~TableDocument() override;

    QUndoStack *undoStack() { return &m_undo; }

    // Changes made between beginStep() and endStep() are one undo step called
    // text; a step inside another joins the outer one. A step that changed
    // nothing leaves no trace. Prefer StepScope.
    void beginStep(const QString &text);
    void endStep();
    // A number written to the same field of the same cell (or the table) as the
    // step before joins that step while the gesture lasts: a slider drag, a
    // held spinner, typing in one box. Leaving or releasing the control, or
    // moving to another cell, closes the gesture.
    void closeGesture();
    // A change of many cells, or of rows and columns (moved, sorted, a
    // paste): fn edits the model, and what it wrote becomes one step. The
    // step keeps only the records fn wrote to and the lines it moved (a
    // table edit's LineEdit), so its cost follows the change, not the table.
    // The file name is not the table's content and stays.
    void editModel(const QString &text, const std::function<void(TableModel &)> &fn);

    const TableModel &model() const { return m_model; }
    const CellRecord &cell(int col, int row) const { return m_model.Cells(col, row); }

    void setCellText(int col, int row, const QString &text);
    void setCellField(int col, int row, CellField field, qint32 value);
    // The same field of every cell in cells (x = column, y = row) as one step;
    // a drag over the same cells and field stays one step, as for one cell.
    void setCellsField(QRect cells, CellField field, qint32 value);
    qint32 cellField(int col, int row, CellField field) const;

    void setTableField(TableField field, qint32 value);
    qint32 tableField(TableField field) const;
    void setTitle(const QString &title);
    // The table's id or class (TableField::Id, TableField::Class).
    void setTableText(TableField field, const QString &text);
    // The class of every cell in cells, as one step.
    void setCellsClass(QRect cells, const QString &cls);
    // The style text of every cell in cells, as one step.
    void setCellsStyle(QRect cells, const QString &style);
    void setSize(int rows, int cols);
    void setFileName(const QString &name);

    // Open and New: a whole new table with a fresh history. The file name goes
    // with it.
    void replaceModel(const TableModel &model);
    void replaceModel(TableModel &&model);

    // What a step merges on: the same field of the same cell, range or table.
    struct MergeKey {
        int kind = 0;            // 0 none, 1 a cell, 2 a range, 3 the table
        QRect cells;
        uint field = 0;
        bool operator==(const MergeKey &o) const { return kind == o.kind && cells == o.cells && field == o.field; }
    };

    // Names of one-field steps, as the Edit menu shows them.
    static QString stepName(CellField field);
    static QString stepName(TableField field);

signals:
    // Lines inserted, removed or reordered, by a command or an undo; the
    // table's size (tableChanged) and any cell changes follow. order: new
    // line at + i is the old line at + order[i].
    void linesInserted(bool rows, int at, int count);
    void linesRemoved(bool rows, int at, int count);
    void linesMoved(bool rows, int at, const QVector<int> &order);
    void cellsChanged(QRect cells, CellFields fields); // x = column, y = row
    void tableChanged(TableFields fields);
    void modelReset();
    // After an undo or redo, with the cells it changed (empty when it changed
    // only table settings), so the views can show them.
    void stepApplied(QRect cells);

private:
    friend class TableStep;
    class Journal;
    struct Recording;
    struct StepData;

    // Records entering the table (it grew into them) read as the panes write
    // them; the all-zero records past the original largest table become
    // ordinary cells.
    void normaliseEntered(int oldRows, int oldCols);
    // Records the table settings before their first change in the open step.
    void touchTable();
    // The step of one field change, mergeable with the last one.
    void beginFieldStep(const QString &text, const MergeKey &key);
    void recordTableChange(const TableSettings &before, TableField field);
    // Class or Style of every cell in cells.
    void setCellsString(QRect cells, CellField field, const QString &text);
    void apply(const StepData &step, bool forward);
    void emitLineEdit(const LineEdit &edit, bool forward);

    TableModel m_model;
    QUndoStack m_undo;
    Journal *m_journal;
    Recording *m_rec = nullptr;
    int m_depth = 0;
    MergeKey m_pendingMergeKey;  // the key the step being recorded may merge on
    int m_gesture = 0;           // steps merge only within one gesture
};

// Makes the changes of its lifetime one undo step.
class StepScope
{
public:
    StepScope(TableDocument &doc, const QString &text) : m_doc(doc) { m_doc.beginStep(text); }
    ~StepScope() { m_doc.endStep(); }
    StepScope(const StepScope &) = delete;
    StepScope &operator=(const StepScope &) = delete;

private:
    TableDocument &m_doc;
};
