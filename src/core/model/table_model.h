#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <vector>

#include "version.h"

// The program's own version, shown by the About box and --version. Files are
// refused when written by a later version; this one reads table files up to
// 3.3.0 and writes 3.0.0, 3.1.0, 3.2.0 or 3.3.0 (see table_file.h).
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

    static CellRecord zero();      // the all-zero record kept at index 100
    bool operator==(const CellRecord &o) const;
    bool operator!=(const CellRecord &o) const { return !(*this == o); }
};

// A record as the cell settings pane leaves it: the switches 0 or 1, the
// alignments within 0..2, Header -1 or 0. Numbers and colours stay as they are
// (a number box hands back the very number it was given). Every refresh of a
// cell runs this, so whatever a file held, the record then reads as the
// controls would have written it.
void normalise(CellRecord &rec);
// The same for the two switches of the table settings pane.
void normaliseTableSwitches(qint16 &backColorNothing, qint16 &netscapeMode);

// The most rows and columns a table has: every box, reader, paste and edit
// stops here.
struct TableLimits {
    static constexpr int MaxLines = 99;
    static constexpr int MaxRows = MaxLines;
    static constexpr int MaxCols = MaxLines;
};

// Fixed 101 x 101 array indexed (column, row). Every access is range-checked:
// an index outside 0..100 throws std::out_of_range, never touches memory.
class CellTable
{
public:
    static constexpr int MaxIndex = TableLimits::MaxLines + 1;
    static constexpr int Size = MaxIndex + 1;

    CellTable();

    CellRecord &operator()(int col, int row);
    const CellRecord &operator()(int col, int row) const;
    static bool inRange(int col, int row)
    {
        return col >= 0 && col <= MaxIndex && row >= 0 && row <= MaxIndex;
    }

private:
    std::vector<CellRecord> m_cells; // column varies fastest
};

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
    CellTable Cells;
    QString FileName;

    // Defaults for every record with both indices in 0..99, index 100 all zero,
    // and the table-wide settings. FileName is left alone.
    void resetToDefaults();
    // True when a setting beyond the original seven differs from its default.
    bool usesNewSettings() const;
    // True when the presentation, the table's id or class or a cell's class is set.
    bool usesClassSettings() const;
    // True when there are footer rows or a cell's scope is not automatic.
    bool usesFooterSettings() const;
};
