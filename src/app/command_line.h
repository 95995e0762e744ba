#pragma once

#include <QString>
#include <QStringList>

// What Main does with the raw command-line text.
struct StartRequest {
    bool openFile = false;  // true: call OpenFile(path) on the first window
    QString path;           // may be empty: the open dialog is shown
};

// The rule on the raw text: trim spaces (not tabs); text enclosed in double
// quotes on both ends names a file, anything else starts a new table. A lone
// double quote starts a new table.
StartRequest startRequestFromRawText(const QString &raw);

// On Linux the shell has removed the quotes: a single argument is the quoted
// path, no argument a new table, a lone double quote a new table.
QString rawTextFromArguments(const QStringList &args);
