#pragma once

#include <QString>
#include <functional>

class TableModel;

// "#RRGGBB" from a 0x00BBGGRR colour.
QString ColorToHtml(qint32 colour);

// The few values the generator reads from the window's controls.
struct MarkupInputs {
    QString borderText;        // text of txtBorder
    QString titleText;         // text of txtTitle
    qint32 backColorShown = 0xFFFFFF; // colour shown in picBackColor
    int gridRows = 3;          // Grid.Rows (fixed row included)
    int gridCols = 3;          // Grid.Cols (fixed column included)
};

// The table's HTML text. visitCell(c, r) runs for every emitted cell before it
// is written (the window runs its selected-cell refresh there). May normalise
// a switched-off span count to 1 in the model.
QString buildTableMarkup(TableModel &model, const MarkupInputs &in,
                         const std::function<void(int, int)> &visitCell = {});

// The preview page around a table text (CR LF, no final text after the last CR LF).
QString previewPageText(const QString &tableText);
