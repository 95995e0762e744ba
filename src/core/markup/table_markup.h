#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/model/table_model.h"

// "#RRGGBB" from a 0x00BBGGRR colour.
QString ColorToHtml(qint32 colour);

// The table's HTML text in the model's OutputProfile, from the model alone:
// every output (tag view, previews, Save, --export, the clipboard) is this.
//
// HTML 4 is the original text: upper-case names, ALIGN/VALIGN on every data
// cell, spans as stored; ID, CLASS and a header cell's SCOPE only when set;
// footer rows stay where they are, in order (TFOOT would have to come before
// the body). HTML5 is lower-case, with <caption>, <thead> for the leading
// all-header rows (scope="col"), <tbody> for the rest (a header cell in column
// 1 there gets scope="row"), <tfoot> for the last FooterRows rows (fewer when
// a span from above reaches into them), a header cell's own scope in place of
// those when set, id/class when set, and, in the inline presentation, CSS
// only where a cell differs from what a browser does anyway:
//   - the border as CSS (HTML5 has no border attribute): an outset frame of
//     the border's width round the table, 1px inset round each cell, and the
//     border as the cell spacing;
//   - text-align when HAlign differs from the browser's default for the cell
//     kind (left for <td>, center for <th>), so the page looks as the grid
//     does: a default data cell (centred in the grid) gets "text-align:
//     center", a default header cell nothing;
//   - vertical-align when VAlign is not centre (browsers centre: "middle");
//   - width/height in px when switched on, background-color when set.
// The presentation "none" writes no style attribute at all. Netscape mode
// leaves out the alignment in HTML 4 only. Spans are clipped to the table and
// short of the slots earlier spans hold (no overlaps), and rows and columns in
// which no cell begins (wholly covered by spans) are left out with the spans
// across them shortened, so the table model stays valid; what the browser
// shows is the same. A caption of only blanks is left out. Cell texts and the
// title are written as stored.
// A table whose text could not be held (more than MaxMarkupChars, judged
// before anything is built from the least its cells can write) gives a null
// string: markupTooLarge() tells it beforehand.
QString buildTableMarkup(const TableModel &model);
constexpr qint64 MaxMarkupChars = 128 * 1024 * 1024;
bool markupTooLarge(const TableModel &model);

// Every cell's scope that says what the automatic one would (see above) back
// to automatic: a table read from a page keeps only the scopes of its own.
void clearAutomaticScopes(TableModel &model);

// The alignment a browser gives a cell of its own accord, as HAlign/VAlign
// values: what HTML5 output leaves unwritten (and what a cell without
// alignment of its own means when HTML5 is read back).
struct CellAlignment {
    qint16 hAlign;
    qint16 vAlign;
};
CellAlignment browserAlignment(bool header);

// The preview page around a table text (CR LF, no final text after the last CR
// LF): Shift_JIS declared for HTML 4, an HTML5 page with <meta charset="utf-8">
// for HTML5.
QString previewPageText(const QString &tableText, MarkupProfile profile = MarkupProfile::Html4);

// The table text as a page of its own, to open in a browser as it is (Save As
// "HTML ページ", --page): a document type, the encoding the file is written in
// (UTF-8 for HTML5, Shift_JIS for HTML 4), and a title: the caption's text,
// else fallbackTitle (which must not be empty). An HTML5 page links the
// stylesheet at styleSheetHref when one is given (an href, escaped).
QString wholePageText(const QString &tableText, MarkupProfile profile, const QString &caption,
                      const QString &fallbackTitle, const QString &styleSheetHref = QString());

// A text of the given profile as it goes into a file: Shift_JIS with numeric
// references for what it cannot hold (HTML 4), UTF-8 (HTML5).
QByteArray markupFileBytes(const QString &text, MarkupProfile profile);

// "inline" / "none" (any case), as the command line names them.
std::optional<PresentationStyle> presentationStyleFromName(const QString &name);

// "html4" / "html5" (any case), as the command line names them.
std::optional<MarkupProfile> markupProfileFromName(const QString &name);
