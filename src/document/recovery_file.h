#pragma once

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

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

signals:
    // A write failed (said once until one succeeds again), or succeeded after that.
    void failed(const QString &text);
    void writtenAgain();

private:
    void schedule();
    void report(const QString &text);     // on standard error and by failed()

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

struct LeftTable {
    QString file;   // the table file
    QString name;   // the table's own name
};

// The tables of processes that ended without closing them, claimed by this
// one while the object lives: no other process takes them meanwhile.
class LeftTables
{
public:
    LeftTables();
    ~LeftTables();
    LeftTables(const LeftTables &) = delete;
    LeftTables &operator=(const LeftTables &) = delete;

    const QList<LeftTable> &tables() const { return m_tables; }
    static void remove(const LeftTable &t);
    // A copy that does not open is never removed: it goes under its table's
    // own name, no longer offered. Returns where it is now.
    static QString setAside(const LeftTable &t);

private:
    std::vector<std::unique_ptr<QLockFile>> m_locks;
    QList<LeftTable> m_tables;
};
