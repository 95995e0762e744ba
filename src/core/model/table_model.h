#pragma once

#include <QRect>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "version.h"

// The program's own version, shown by the About box and --version. Files are
// refused when written by a later version; this one reads table files up to
// 3.4.0 and writes 3.0.0 to 3.4.0 (see table_file.h).
struct AppVersion {
    static constexpr int Major = QUORVAN_VERSION_MAJOR;
    static constexpr int Minor = QUORVAN_VERSION_MINOR;
    static constexpr int Revision = QUORVAN_VERSION_PATCH;
};

// What the generator writes: the original upper-case HTML 4 text (Shift_JIS
// when saved), or lower-case HTML5 with CSS (UTF-8 when saved).
enum class MarkupProfile { Html4, Html5 };

// How HTML5 output presents the table: inline CSS for what the settings say,
// or structure only, no style attribute, for a site whose own CSS does the rest.
enum class PresentationStyle { Inline, None };

// A named look for HTML5 output, written as classes with a stylesheet (see
// core/markup/table_presets.h); None is the presentation alone, as before.
enum class TablePreset { None, Plain, Lines, Striped, Compact, Framework };
constexpr int TablePresetCount = 6;

// Where the stylesheet of a preset or the responsive option goes: a <style>
// block before the table, a .css file beside the saved HTML, or nowhere (the
// site has it).
enum class CssPlacement { Block, File, None };

// The table's own width: none (the browser decides), pixels or per cent.
enum class WidthUnit { None, Pixels, Percent };

// A header cell's scope attribute. Automatic is what the generator has always
// written: "col" in the head, "row" in the first column, none elsewhere.
enum class CellScope { Auto, Row, Col, RowGroup, ColGroup };
constexpr int CellScopeCount = 5;

// FileName of a table that was never saved; also the marker for "no file yet".
QString newTableName();

// One cell. Field order and widths are those of the table file.
struct CellRecord {
    QString Text;                  // raw HTML, emitted unchanged
    qint16 Header = 0;             // 0 or -1
    qint16 HeightOn = 0;           // check-box value 0/1
    qint32 Height = 100;
    qint16 WidthOn = 0;
    qint32 Width = 100;
    qint16 RowSpanOn = 0;
    qint32 RowSpan = 1;
    qint16 ColSpanOn = 0;
    qint32 ColSpan = 1;
    qint16 VAlign = 1;             // 0 top, 1 center, 2 bottom
    qint16 HAlign = 1;             // 0 left, 1 center, 2 right
    qint32 BackColor = 0xFFFFFF;   // 0x00BBGGRR
    qint16 BackColorNothing = 1;
    QString Class;                 // class attribute, 3.2 files only
    qint16 Scope = 0;              // a CellScope, 3.3 files only
    // 3.4 files only: Width and Height in per cent of the table (check-box
    // values 0/1, 0 pixels), and the cell's own CSS declarations, written
    // after the generated ones in HTML5 and not at all in HTML 4.
    qint16 WidthPercent = 0;
    qint16 HeightPercent = 0;
    QString Style;

    // The all-zero record the original file layout has past the table's
    // largest size (column 100 of a table of 98 or 99 columns).
    static CellRecord zero();
    bool isDefault() const;
    bool operator==(const CellRecord &o) const;
    bool operator!=(const CellRecord &o) const { return !(*this == o); }
};

// A record as the cell settings pane leaves it: the switches 0 or 1, the
// alignments within 0..2, Header -1 or 0. Numbers and colours stay as they are
// (a number box hands back the very number it was given). Every refresh of a
// cell runs this, so whatever a file held, the record then reads as the
// controls would have written it.
void normalise(CellRecord &rec);
// True when normalise would leave rec as it is.
bool isNormalised(const CellRecord &rec);
// The same for the two switches of the table settings pane.
void normaliseTableSwitches(qint16 &backColorNothing, qint16 &netscapeMode);

// The most rows and columns a table has: every box, reader, paste and edit
// stops here.
struct TableLimits {
    static constexpr int MaxRows = 1000000;
    static constexpr int MaxCols = 1000;
    // The largest table of the original program: a table within it in both
    // directions is saved in the original file layout, and its rows and
    // columns move as they always have.
    static constexpr int ClassicLines = 99;
    static bool isClassic(int rows, int cols) { return rows <= ClassicLines && cols <= ClassicLines; }
};

class CellTableObserver;
struct LineEdit;

// The cells of a table, indexed (column, row) from 0: row 0 and column 0 are
// the grid's fixed cells, the table's cells start at 1. Only records that
// were written to are held, a row at a time; every other cell reads as the
// default record and costs nothing. A reference to a record stays valid until
// that record is taken out of the table (rows and columns moving keep it).
// Every access is range-checked: an index outside 0..MaxCol, 0..MaxRow throws
// std::out_of_range, never touches memory.
class CellTable
{
public:
    // Past the last column the file writer passes over two more, past the
    // last row one (RowHeightCol reaches there).
    static constexpr int MaxCol = TableLimits::MaxCols + 2;
    static constexpr int MaxRow = TableLimits::MaxRows + 1;

    CellTable();
    CellTable(const CellTable &other);
    CellTable &operator=(const CellTable &other);
    CellTable(CellTable &&other) noexcept;
    CellTable &operator=(CellTable &&other) noexcept;
    ~CellTable();

    // The record to write to, held from now on.
    CellRecord &operator()(int col, int row);
    const CellRecord &operator()(int col, int row) const;
    // The held record, or null for a cell at the defaults that was never written.
    const CellRecord *find(int col, int row) const;
    static bool inRange(int col, int row)
    {
        return col >= 0 && col <= MaxCol && row >= 0 && row <= MaxRow;
    }
    static const CellRecord &defaults();
    // Every cell reads the same (a held record at the defaults equals none).
    bool operator==(const CellTable &o) const;
    bool operator!=(const CellTable &o) const { return !(*this == o); }

    // Every held record within cells (x = column, y = row), row by row, left
    // to right: fn(col, row, record). Cost follows the records held, not the
    // size of cells.
    template<typename Fn>
    void forEachHeld(QRect cells, Fn fn) const;
    template<typename Fn>
    void forEachHeld(QRect cells, Fn fn);
    // Every held record within cells that spans or carries a width (what
    // the grid lays out from), row by row. Rows found to hold none are
    // remembered so until written to again: a table's layout is found again
    // in time that follows its written rows, not all of them.
    template<typename Fn>
    void forEachLaidOut(QRect cells, Fn fn) const;
    static bool isLaidOut(const CellRecord &r)
    {
        return r.ColSpanOn || r.RowSpanOn || r.WidthOn || r.ColSpan != 1 || r.RowSpan != 1;
    }
    // The held record after (backward: before) at within cells, in row
    // order, into at; false when there is none. at need not be held.
    bool nextHeld(QPoint &at, QRect cells, bool backward) const;
    // One past the last row and column that hold a record.
    int rowExtent() const;
    int colExtent() const;
    bool isEmpty() const;
    // Forgets every record.
    void clear();

    // Lines inserted, removed or reordered (LineEdit says which); the edit
    // keeps what it took out, so that revert() puts the table back exactly.
    void apply(LineEdit &edit);
    void revert(LineEdit &edit);

    // Told before a record is handed out for writing, and of every line edit:
    // the document's undo history. Null for none.
    void setObserver(CellTableObserver *observer) { m_observer = observer; }
    CellTableObserver *observer() const { return m_observer; }

private:
    struct Row : std::map<int, CellRecord> {
        mutable bool unchecked = false;  // may hold a record that is laid out
        void putBack(std::map<int, CellRecord> &&held)
        {
            std::map<int, CellRecord>::operator=(std::move(held));
            unchecked = true;
        }
    };
    friend struct LineEdit;
    void insertLines(LineEdit &e);
    void removeLines(LineEdit &e);
    void restoreInserted(LineEdit &e);
    void restoreRemoved(LineEdit &e);
    void permute(LineEdit &e, bool forward);

    std::vector<Row> m_rows;      // by row index; a row holds its written records by column
    CellTableObserver *m_observer = nullptr;
};

// Lines of one axis inserted, removed or put in another order: how the table
// edits move rows and columns, and what an undo step keeps to move them back.
struct LineEdit {
    enum Kind { Insert, Remove, Permute };
    Kind kind = Insert;
    bool rows = true;         // rows, or columns
    int at = 1;               // the first line inserted, removed or reordered
    int count = 0;            // lines inserted or removed; reordered for Permute
    // Lines past `limit` stay where they are, lines pushed past it leave the
    // table (and are kept here); a removal leaves empty lines just before it.
    int limit = 0;
    QVector<int> order;       // Permute: line at + i is the old line at + order[i]
    QVector<int> inverse;     // Permute: old line at + i is now at + inverse[i]; made by apply

    // What the edit took out, by line; filled by CellTable::apply.
    std::vector<std::pair<int, std::map<int, CellRecord>>> taken;

    // Where a cell of the table before the edit is afterwards; false when the
    // edit took it out.
    bool mapForward(int &col, int &row) const;
    // Where a cell of the table after the edit was before; false for a new one.
    bool mapBack(int &col, int &row) const;
};

class CellTableObserver
{
public:
    virtual ~CellTableObserver() = default;
    // Before (col, row) may be written; rec is its record as it is now.
    virtual void cellTouched(int col, int row, const CellRecord &rec) = 0;
    // Before and after lines move. The observer may take the edit (with what
    // it took out of the table) for itself.
    virtual void linesAboutToBeEdited() = 0;
    virtual void linesEdited(LineEdit &edit) = 0;
};

template<typename Fn>
void CellTable::forEachHeld(QRect cells, Fn fn) const
{
    cells = cells.normalized();
    const int top = std::max(cells.top(), 0);
    const int bottom = std::min<int>(cells.bottom(), int(m_rows.size()) - 1);
    for (int r = top; r <= bottom; ++r) {
        const Row &row = m_rows[std::size_t(r)];
        if (row.empty())
            continue;
        for (auto it = row.lower_bound(cells.left()); it != row.end() && it->first <= cells.right(); ++it)
            fn(it->first, r, it->second);
    }
}

template<typename Fn>
void CellTable::forEachLaidOut(QRect cells, Fn fn) const
{
    cells = cells.normalized();
    const int top = std::max(cells.top(), 0);
    const int bottom = std::min<int>(cells.bottom(), int(m_rows.size()) - 1);
    for (int r = top; r <= bottom; ++r) {
        const Row &row = m_rows[std::size_t(r)];
        if (!row.unchecked)
            continue;
        bool any = false;
        for (const auto &[c, rec] : row) {
            if (!isLaidOut(rec))
                continue;
            any = true;
            if (c >= cells.left() && c <= cells.right())
                fn(c, r, rec);
        }
        row.unchecked = any;
    }
}

template<typename Fn>
void CellTable::forEachHeld(QRect cells, Fn fn)
{
    cells = cells.normalized();
    const int top = std::max(cells.top(), 0);
    const int bottom = std::min<int>(cells.bottom(), int(m_rows.size()) - 1);
    for (int r = top; r <= bottom; ++r) {
        Row &row = m_rows[std::size_t(r)];
        if (row.empty())
            continue;
        row.unchecked = true;
        for (auto it = row.lower_bound(cells.left()); it != row.end() && it->first <= cells.right(); ++it) {
            if (m_observer)
                m_observer->cellTouched(it->first, r, it->second);
            fn(it->first, r, it->second);
        }
    }
}

// The table of one window, as plain data: the file and the generator read it,
// and the window's TableDocument is the only thing that changes it.
class TableModel
{
public:
    TableModel();

    qint32 TableRows = 2;
    qint32 TableCols = 2;
    QString TableTitle;
    qint16 TableBorder = 1;
    qint32 TableBackColor = 0xFFFFFF;
    qint16 TableBackColorNothing = 1;
    qint16 NetscapeMode = 0;
    // Settings beyond the original seven. At these defaults a table is saved in
    // the original file layout (3.0.0); otherwise in 3.1.0.
    MarkupProfile OutputProfile = MarkupProfile::Html4;
    WidthUnit TableWidthUnit = WidthUnit::None;
    qint32 TableWidth = 100;  // pixels or per cent, per TableWidthUnit
    // Added in 3.2; at these defaults (and no cell class) a file stays 3.0/3.1.
    PresentationStyle OutputStyle = PresentationStyle::Inline;
    QString TableId;
    QString TableClass;
    // Added in 3.3: the last FooterRows rows are the table's foot (<tfoot>).
    qint32 FooterRows = 0;
    // Added in 3.4: at these defaults a table within 99 x 99 is written as before.
    TablePreset OutputPreset = TablePreset::None;
    CssPlacement OutputCss = CssPlacement::Block;
    qint16 Responsive = 0;    // 0/1: a scrolling wrapper, cells stacked on narrow screens
    CellTable Cells;
    QString FileName;

    // Every record at its defaults and the table-wide settings too. FileName
    // is left alone.
    void resetToDefaults();
    // The table's own cells (x = column, y = row from 1), clipped to the limits.
    QRect tableCells() const;
    // True when a setting beyond the original seven differs from its default.
    bool usesNewSettings() const;
    // True when the presentation, the table's id or class, or the class of a
    // cell within cells is set.
    bool usesClassSettings(QRect cells) const;
    // True when there are footer rows or the scope of a cell within cells is
    // not automatic.
    bool usesFooterSettings(QRect cells) const;
    // True when the preset, the stylesheet's place or the responsive switch
    // is not at its default.
    bool usesPresetSettings() const;
    // True when a cell within cells has a size in per cent or a style of its own.
    bool usesCellStyleSettings(QRect cells) const;
};
