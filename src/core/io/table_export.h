#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "core/io/table_document_io.h"
#include "core/model/table_model.h"


// The command-line side of table files: "quorvan --export SOURCE TARGET".
// Runs before any window exists and needs no display.

struct ExportResult {
    bool ok = true;
    QString message;  // the text the window would show, for a failure
    QStringList notes; // for standard error on success: what the target could not hold
};

// Opens source as the Open command does (a .csv or .tsv name read as
// spreadsheet text), then writes target as the Save command does by its
// extension: .qvn a table file, .html/.htm the HTML text, .csv/.tsv/.md the
// cells' text, .tex/.wiki/.adoc/.rst the table in that format (see
// publish_formats.h); any other extension is refused. A profile or presentation
// given overrides the table's own, as if chosen in the window: the HTML is
// written in it, a table file stores it.
// On failure target is left as it was (a new one is never created). A target
// that is the source file itself is refused unless both are .qvn names.
ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile = std::nullopt,
                         std::optional<PresentationStyle> style = std::nullopt);

// Reads a .csv or .tsv file into model as Open does; the message names the file.
OpenResult openTextTable(const QString &path, TableModel &model);


