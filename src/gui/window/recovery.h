#pragma once

#include <QObject>
#include <QTimer>

class TableDocument;

// Unsaved work kept on disk, so that a crash loses at most the last seconds.
//
// A modified table is written a few seconds after its last change into the
// recovery folder, in the table file format: <pid>-<n>.qvn, with the table's
// own name in <pid>-<n>.name. The files go when the table is saved as a table
// file, taken back to its saved state, or closed on purpose. While it runs,
// this process holds <pid>.lock there: files whose lock nobody holds were left
// by a process that ended without closing them.
class RecoveryFile : public QObject
{
    Q_OBJECT

public:
    RecoveryFile(TableDocument &doc, QObject *parent);
    ~RecoveryFile() override;  // closed on purpose: the files go

    // Writes the table now if it is modified.
    void writeNow();
    // Removes the files; the next change writes them again.
    void discard();
    // The table file, empty while none is written.
    QString path() const;

    // How long after the last change the table is written (tests shorten it).
    static void setDelay(int ms);

private:
    void schedule();
    // In the window's status bar and on standard error.
    void report(const QString &text);
    void clearReport();

    TableDocument &m_doc;
    QTimer m_timer;
    qint64 m_pendingSince = -1;  // ms since the epoch of the first change not yet written
    QString m_base;              // the files without their extension
    QString m_writtenName;       // what the .name file holds
    bool m_nameWritten = false;
    bool m_failureSaid = false;  // a failed write was reported and none has succeeded since
};

// Where the recovery files are: "recovery" in the user's data folder for the program.
QString recoveryFolder();

// At start, before the first window: tables left by processes that are no
// longer running are offered ("restore?" with their names). Each restored
// table opens in a window of its own, modified, under its old name; the files
// are removed either way, except a copy that does not open: that one is kept,
// renamed after its table, and said. Returns how many windows opened.
int offerRecoveredTables();
