#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class TableModel;

// The text layer of table files: the comma-separated table text inside a .qvn
// file (after decompression) and the older plain .qvf layout. CP932, CR LF.
//
// Readers never show anything: they report what went wrong and the window
// turns that into its message. A failed read leaves the model untouched; a
// successful one overwrites only what the file provides.

struct FileVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// True when a file of version v was written by a later program than this one.
bool isNewerThanProgram(const FileVersion &v);

// The version a table file for model is written with.
FileVersion fileVersionFor(const TableModel &model);

enum class ReadStatus {
    Ok,
    Damaged,       // not a table text: bad field, bad number, bad index, cut short...
    NewerVersion   // line 1 names a later program; nothing else was read
};

struct ReadResult {
    ReadStatus status = ReadStatus::Damaged;
    FileVersion version;   // line 1 of the current layout, when it could be read
    bool ok() const { return status == ReadStatus::Ok; }
};

// The current layout: version line, settings line, one line per cell record
// for columns 0..TableCols + 2 (never past 100) and rows 0..TableRows.
// A table at the defaults of the settings added in 3.1 (TableModel::
// usesNewSettings() false) is written as version 3.0.0, byte for byte the
// original layout; any other as 3.1.0, whose settings line carries three more
// fields: OutputProfile (0 HTML 4, 1 HTML5), TableWidthUnit (0 none,
// 1 pixels, 2 per cent) and TableWidth. A table whose presentation, id or
// classes are set (TableModel::usesClassSettings()) is written as 3.2.0: the
// settings line goes on with OutputStyle (0 inline, 1 none), TableId and
// TableClass, and every cell line ends with the cell's Class. A table with
// footer rows or a scope that is not automatic (TableModel::
// usesFooterSettings()) is written as 3.3.0: the settings line goes on with
// FooterRows, and every cell line ends with the cell's Scope (a CellScope).
// Only the cells the file passes over count for the version.
// An id or class is written with "&" as "&amp;" (and, like every text, a
// character CP932 lacks as a numeric reference); the reader turns both back.
//
// A table of more than 99 rows or columns, one whose preset, stylesheet
// place or responsive switch is set (TableModel::usesPresetSettings()), or
// one with a cell sized in per cent or styled
// (TableModel::usesCellStyleSettings()), is written as 3.4.0: the settings
// line of 3.3, then OutputPreset (a TablePreset), OutputCss (0 block, 1 file,
// 2 none), Responsive (0/1) and the number of cell lines that follow; then
// one line for each record of the same range that differs from the defaults,
// by column and within a column by row, each "col,row,0,text" when only its
// text differs, else "col,row,1," and the sixteen fields of a 3.3 record
// followed by WidthPercent, HeightPercent (0 or 1) and Style (quoted, written
// as an id or class is). A table within 99 x 99 that uses none of these is
// never written so, and a 3.0 to 3.3 file holding more than 99 rows or
// columns is damaged.
bool isWideTable(const TableModel &model);
QByteArray tableText(const TableModel &model);
bool writeTableText(QIODevice &out, const TableModel &model);
ReadResult readTableText(QIODevice &in, TableModel &model);
ReadResult readTableText(const QByteArray &text, TableModel &model);

// The older layout (.qvf), read only.
ReadResult readOldTableText(QIODevice &in, TableModel &model);
ReadResult readOldTableText(const QByteArray &text, TableModel &model);

// The last three characters of a path, lower-cased: how a file's kind is told.
QString fileKindOf(const QString &path);
