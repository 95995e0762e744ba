#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <vector>

// The program's own version, shown by the About box and --version. Files are
// refused when written by a later version; this one reads table files up to
// 3.1.0 and writes 3.0.0 or 3.1.0 (see table_file.h).
struct AppVersion {
    static constexpr int Major = 3;
    static constexpr int Minor = 1;
    static constexpr int Revision = 0;
};

// What the generator writes: the original upper-case HTML 4 text (Shift_JIS
// when saved), or lower-case HTML5 with CSS (UTF-8 when saved).
enum class MarkupProfile { Html4, Html5 };

// The table's own width: none (the browser decides), pixels or per cent.
enum class WidthUnit { None, Pixels, Percent };

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

    static CellRecord zero();      // the all-zero record kept at index 100
    bool operator==(const CellRecord &o) const;
    bool operator!=(const CellRecord &o) const { return !(*this == o); }
};

// Fixed 101 x 101 array indexed (column, row). Every access is range-checked:
// an index outside 0..100 throws std::out_of_range, never touches memory.
class CellTable
{
public:
    static constexpr int Size = 101;
    static constexpr int MaxIndex = 100;

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

// The document of one main window. frmMain inherits it, so the fields keep
// their names on the window (w.TableCols, w.Cells(c, r)...).
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
    CellTable Cells;
    QVector<qint32> RowHeightCol; // indices 0..n, see resetRowHeightCol
    QString FileName;
    bool ShiftKeyPush = false;

    // Defaults for every record with both indices in 0..99, index 100 all zero,
    // the table-wide settings, and RowHeightCol 0..TableRows + 1. FileName is left alone.
    void resetToDefaults();
    // Re-create RowHeightCol with indices 0..upper, all 0.
    void resetRowHeightCol(int upper);
    // True when a setting beyond the original seven differs from its default.
    bool usesNewSettings() const;
};
