#pragma once

#include <QString>

#include <optional>

#include "core/model/table_model.h"


// The command-line side of table files: "quorvan --export SOURCE TARGET".
// Runs before any window exists and needs no display.

struct ExportResult {
    bool ok = true;
    QString message;  // the text the window would show, for a failure
};

// Opens source as the Open command does, then writes target as the Save
// command does (a .qvn name a table file, any other name the HTML text).
// A profile given overrides the table's own, as if chosen in the window:
// the HTML is written in it, a table file stores it.
// On failure target is left as it was (a new one is never created). A target
// that is the source file itself is refused unless both are .qvn names.
ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile = std::nullopt);


