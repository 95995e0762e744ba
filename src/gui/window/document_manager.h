#pragma once

#include <QObject>
#include <QStringList>

class frmMain;
class RecoveryFile;
class TableDocument;
struct TableModel;

// The life of one window's table: opening a table file or a page, saving it
// as a table file or as HTML, the question before changes are lost, and its
// recovery file. The window composes it and runs its commands through it.
class DocumentManager : public QObject
{
    Q_OBJECT

public:
    DocumentManager(frmMain &window, TableDocument &doc);

    RecoveryFile &recovery() const { return *m_recovery; }

    // OpenFile: a table file or a page into this window, or the file dialog
    // when path is empty. On failure or cancel the window is discarded.
    void open(const QString &path);
    // The same into a window on show, which stays as it was on failure or
    // cancel. True when a table was opened.
    bool openHere(const QString &path);
    // The only window, new, never saved and never changed: Open puts the
    // table into it rather than beside it.
    bool isUntouchedOnlyWindow() const;
    // The table's name for the caption and the questions: the file's, or for
    // a table read from a page or a CSV file that page's name, or "新規テーブル".
    QString shownName() const;
    // Save As: the name from the file dialog. True when saved as a table file.
    bool saveAs();
    // Ctrl+S: a table with a .qvn name straight into that file, any other
    // through saveAs. True when the table was saved as a table file.
    bool saveInPlace();
    // A modified table asks whether to save it first. True when the window
    // may go: saved, or the changes given up; false for Cancel.
    bool maybeSave();
    // A table left by a crash, shown modified under its old name.
    void openRecovered(const TableModel &table);

    // A new window with a new table, loaded but not shown: 400 twips below and
    // right of from, or centred when there is none. New, Open, the files of
    // the command line and restored tables all open their windows here.
    static frmMain *newWindowBeside(const QWidget *from);
    // Files after the first on the command line, each in a window of its own
    // beside the newest shown one. Empty names and a lone double quote name no
    // file; a file that cannot be opened shows its message and leaves no window.
    static void openMoreFiles(const QStringList &paths);
    // The first window, with a new table or the file the (quoted) command line
    // names, then a window for each further file.
    static void openStartWindows(const QStringList &args);
    // Logging out asks each window with changes, as closing does.
    static void guardSessionEnd();
    // At start, before the first window: tables left by processes that are no
    // longer running are offered ("restore?" with their names). Each restored
    // table opens in a window of its own, modified, under its old name; the
    // files are removed either way, except a copy that does not open: that one
    // is kept, renamed after its table, and said. Returns how many windows opened.
    static int offerRecoveredTables();

private:
    void markSaved();
    bool readInto(const QString &path, TableModel &opened, QString &notice);

    // Where Save As proposes to put a table read from a page or a text
    // file: its folder and name, as a table file. Empty for any other.
    QString m_suggestedPath;

    frmMain &m_window;
    TableDocument &m_doc;
    RecoveryFile *m_recovery;
};
