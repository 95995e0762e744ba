#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "core/io/table_document_io.h"
#include "core/io/table_formats.h"
#include "core/model/table_model.h"

// The table in the formats authors publish in: a LaTeX tabular, a MediaWiki
// table, an AsciiDoc table and a reStructuredText grid table. Each writes the
// cells the HTML writes with their spans, header rows and alignment; a cell's
// bold, italic, links and line breaks become the format's own, everything
// else its text as the grid shows it. UTF-8, LF line ends.
enum class PublishFormat { Latex, MediaWiki, AsciiDoc, RestructuredText };

// By the name's extension (.tex, .wiki, .adoc, .rst, any case); nothing for another.
std::optional<PublishFormat> publishFormatOf(const QString &path);
// The same for a format the command line names; nothing for the others.
std::optional<PublishFormat> publishFormatOf(TableFormat format);

// No more than a page the import reads: a grid table pads every line of a
// column to its widest cell, so a few long cells could otherwise fill a disk.
constexpr qint64 MaxPublishedBytes = 128 * 1024 * 1024;

struct PublishOutput {
    bool ok = true;        // false: more than MaxPublishedBytes (size says how much, at least)
    qint64 size = 0;
    QByteArray bytes;
    QStringList notes;     // what the format could not hold, in the interface's language
};

PublishOutput writePublished(const TableModel &model, PublishFormat format);

// Writes the table to path in format, as Save writes HTML: nothing replaced on
// failure, a table too large for the format refused with a message. What the
// format could not hold goes into notes.
SaveResult savePublished(const TableModel &model, PublishFormat format, const QString &path, QStringList *notes);

// A table whose text would pass MaxPublishedBytes (size bytes at least) is not saved as path.
QString publishedTooLargeMessage(const QString &path, qint64 size);

// The notes the text formats share.
QString flattenedSpansNote();
QString alignmentNotKeptNote();
QString alignmentByColumnNote();
