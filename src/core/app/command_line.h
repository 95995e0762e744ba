#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Options are recognised anywhere on the line;
// everything else is a file name, taken as it is.
struct CommandLine {
    enum Mode {
        Edit,     // open the editor on files (none: a new table)
        Export,   // --export SOURCE TARGET, no window (also SOURCE TARGET with --from, --to or "-")
        ListTables, // --list-tables SOURCE: the tables of a page, one line each
        Help,     // -h, --help
        Version,  // -v, --version
        Wrong     // an unknown option or a malformed --export: usage, exit 2
    };
    Mode mode = Edit;
    QStringList files;        // the positional arguments, in order
    QString profile;          // --profile NAME, with --export only; empty: the table's own
    QString style;            // --style inline|none with --export; empty: the table's own
    QString sheet;            // --sheet N|NAME with --export: a workbook's sheet; empty: the first
    QString language;         // --lang ja|en; empty: the locale's
    QString from;             // --from FORMAT, --to FORMAT: empty, the file names tell
    QString to;
    int table = 0;            // --table N, from 1; 0: the page's preferred table
    bool page = false;        // --page: HTML as a whole page
    bool csvFormulas = false; // --csv-formulas with --export: CSV and TSV cells keep = + - @ live
    QString error;            // for Wrong
};

// arguments: the program name first, as QCoreApplication::arguments() has them.
// Needs no application object.
CommandLine parseCommandLine(const QStringList &arguments);

// The usage text, naming the program as it was started.
QString usageText(const QString &program);

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
