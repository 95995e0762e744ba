#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "core/model/table_model.h"

// Named looks for HTML5 tables. A preset is written as classes on the table
// (and on the cells that need them) with a stylesheet that gives those classes
// their lines, stripes and spacing; the responsive option wraps the table in
// a scrolling container and, where the table has a head, labels each body
// cell with its column's header text so that cells stack on a narrow screen.
//
// Alignment goes by column under a preset: the alignment most data cells at
// a row position share becomes a rule of the stylesheet (a class on the table
// naming the position, "qv-c2-right", or one for the whole table,
// "qv-center"); only a cell that differs from what those rules give it carries
// a class of its own. The framework preset uses the framework's own class
// names only (its table classes and its text-start / text-center / text-end
// utilities), so a site that loads the framework needs nothing from us.

// The command line's names, in TablePreset's order: none, plain, lines,
// striped, compact, bootstrap.
QString tablePresetName(TablePreset preset);
std::optional<TablePreset> tablePresetFromName(const QString &name);
QStringList tablePresetNames();
// block, file, none (any case), in CssPlacement's order.
std::optional<CssPlacement> cssPlacementFromName(const QString &name);

// True when HTML5 output of model goes through classes: a preset or the
// responsive option (HTML 4 never does).
bool usesPresetMarkup(const TableModel &model);
// True when the preset, not inline CSS, draws the lines and aligns the text.
bool presetDrawsTable(const TableModel &model);

// One cell as the HTML5 generator writes it.
struct PresetCell {
    int col = 1;            // the table column it begins in
    int colSpan = 1;        // the table columns it covers
    int position = 1;       // among the cells its row writes, from 1 (what :nth-child counts)
    bool header = false;    // a <th>
    bool head = false;      // in <thead>: its text labels its columns
    qint16 hAlign = 1;
    const QString *text = nullptr;  // its raw HTML
};

// The classes, labels and stylesheet of one table, worked out from its cells
// in two passes: count() every cell in the order they are written, then
// settle(), then ask per cell. The labels are cut shorter, or left out, so
// that all of them together stay within labelBudget characters: they say
// again what the head says, and must not cost a large table its HTML.
class PresetPlanner
{
public:
    explicit PresetPlanner(const TableModel &model);

    void count(const PresetCell &cell);
    void settle(qint64 labelBudget);

    // Class names to add to the table's / a cell's own, "" for none.
    QString tableClass() const;
    QString cellClass(const PresetCell &cell) const;
    // The data-label text of a body cell, ready for an attribute value; ""
    // for none. Shared between the cells of a column.
    QString label(const PresetCell &cell) const;

    // The stylesheet, CR LF lines; "" when nothing needs one.
    QString styleSheet() const;
    // What goes before and after the table element: the <style> block (with
    // the placement Block) and the scrolling wrapper.
    QString before() const;
    QString after() const;

private:
    int effectiveAlign(const PresetCell &cell) const;
    bool hasLabels() const;
    qint64 labelChars() const;

    TablePreset m_preset;
    CssPlacement m_placement;
    bool m_responsive;
    bool m_inline;
    qint64 m_tableVotes[3] = {0, 0, 0};
    std::vector<std::vector<qint64>> m_positionVotes;  // by position - 1, then alignment
    std::vector<int> m_positionAlign;                  // settled: by position - 1
    int m_tableAlign = 0;
    std::vector<QString> m_labels;                     // by column - 1; escaped once settled
    std::vector<qint64> m_bodyCells;                   // by column - 1
};

// The stylesheet HTML5 output of model needs, whatever its placement (what
// --css file writes beside the page); "" when none.
QString tableStyleSheet(const TableModel &model);
// What a preview adds to its page's head so that it shows the look whatever
// the placement: the stylesheet when it is not in the table text, and for
// the framework preset a stand-in for the framework's table classes (a
// preview loads nothing from the network).
QString previewStyleSheet(const TableModel &model);

// The .css file that goes beside an HTML file: its name with ".css" for its
// extension.
QString styleSheetPathFor(const QString &htmlPath);
// The href a page beside it links the stylesheet by (its file name, escaped).
QString styleSheetHref(const QString &cssPath);
