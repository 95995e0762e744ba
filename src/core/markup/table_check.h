#pragma once

#include <QString>
#include <QVector>

#include "core/model/table_model.h"

// What a screen reader, or a reader who sees poorly, would stumble over in a
// table, each finding naming its cell and the fix where one is mechanical.

enum class CheckIssue {
    NoCaption,       // nothing names the table
    NoHeaders,       // no header cell at all
    EmptyHeader,     // a header cell that shows nothing
    AmbiguousHeader, // a merge leaves unclear what the header heads
    LowContrast,     // text against its fill below 4.5 : 1
    LayoutTable      // looks laid out rather than tabulated
};

enum class CheckFix {
    None,
    AddCaption,    // asks for a caption
    MakeHeaderRow, // the first row becomes header cells
    SetScope       // the header gets the scope it is read with, as its own
};

enum class LayoutSign { None, OneRow, LinksOnly, NestedTable };

struct CheckFinding {
    CheckIssue issue = CheckIssue::NoCaption;
    int col = 0; // the cell, 1-based; 0 for the table as a whole
    int row = 0;
    CheckFix fix = CheckFix::None;
    CellScope scope = CellScope::Auto; // SetScope: the one to set
    double contrast = 0;               // LowContrast: the ratio found
    LayoutSign sign = LayoutSign::None;
};

struct CheckReport {
    QVector<CheckFinding> findings; // the table's first, then by row and column
    qint64 leftOut = 0;             // findings past MaxCheckFindings, not listed
};

constexpr int MaxCheckFindings = 1000;
constexpr double MinTextContrast = 4.5;

// Linear in the table's held records and the length of their text.
CheckReport checkTable(const TableModel &model);

// One line: where ("表", "行 3, 列 2") and what, in the interface language.
QString findingText(const CheckFinding &finding);
// What the fix does, for a button's tip; empty for none.
QString fixText(const CheckFinding &finding);

// The fix on a model (the caller makes it one undo step): caption is the
// text AddCaption sets. False when there was nothing to do.
bool applyFix(TableModel &model, const CheckFinding &finding, const QString &caption = QString());

// Every cell that starts in row becomes a header cell: a pasted row of
// titles made the head. False when row is outside the table or all of them
// already are.
bool makeHeaderRow(TableModel &model, int row);

// The WCAG contrast ratio of two 0x00BBGGRR colours, 1 to 21.
double contrastRatio(qint32 a, qint32 b);
