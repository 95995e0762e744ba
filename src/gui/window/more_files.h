#pragma once

#include <QStringList>

// Files after the first on the command line (a file manager passes several
// with %F). Each opens in a window of its own, as the Open command would:
// 400 twips below and right of the window opened before it. Empty names and
// a lone double quote name no file and are skipped. A file that cannot be
// opened shows its message and leaves no window; the others still open.
void openMoreFiles(const QStringList &paths);

// Main: the first window, with a new table or the file the (quoted) command
// line names, then a window for each further file.
void openStartWindows(const QStringList &args);
