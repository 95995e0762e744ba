#include "gui/window/recovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUndoStack>

#include <cerrno>
#include <map>
#include <memory>
#include <signal.h>
#include <unistd.h>

#include "core/app/app_paths.h"
#include "gui/window/main_window.h"
#include "core/io/compression.h"
#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
#include "gui/widgets/twips.h"
#include "document/table_document.h"

namespace {

int g_delayMs = 3000;
// A table changed without a pause is still written this often.
constexpr int LongestWaitDelays = 10;

QString pidText()
{
    return QString::number(QCoreApplication::applicationPid());
}

std::unique_ptr<QLockFile> &ownLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

// This process's claim on the files named after its id, held while it runs.
bool holdOwnLock()
{
    std::unique_ptr<QLockFile> &lock = ownLock();
    if (lock && lock->isLocked())
        return true;
    if (!QDir().mkpath(recoveryFolder()))
        return false;
    lock = std::make_unique<QLockFile>(recoveryFolder() + QLatin1Char('/') + pidText() + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return true;
    // Left by an ended process that had this same id.
    qint64 pid = 0;
    QString host, app;
    if (lock->getLockInfo(&pid, &host, &app) && pid == QCoreApplication::applicationPid()) {
        lock->removeStaleLockFile();
        return lock->tryLock(0);
    }
    return false;
}

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool processRuns(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

struct LeftTable {
    QString file;   // the table file
    QString name;   // the table's own name
};

// The table's own name kept beside a recovery file.
QString leftName(const QString &file)
{
    QFile nameFile(file.chopped(4) + QStringLiteral(".name"));
    return nameFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(nameFile.readAll()) : newTableName();
}

// The files of one ended process, claimed by this one: no other process takes
// them while the lock is held.
struct Claim {
    std::unique_ptr<QLockFile> lock;
    QList<LeftTable> tables;
};

std::vector<Claim> claimLeftTables()
{
    std::vector<Claim> claims;
    const QDir dir(recoveryFolder());
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)-\\d+\\.qvn$"));
    std::map<qint64, QStringList> byProcess;
    for (const QString &file : dir.entryList({QStringLiteral("*.qvn")}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = pattern.match(file);
        const qint64 pid = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        // Files under this process's own id, before it wrote any, were left
        // by an ended process that had the same id.
        const bool own = pid == QCoreApplication::applicationPid();
        if (pid > 0 && (!own || !ownLock()))
            byProcess[pid] << file;
    }
    for (auto &[pid, files] : byProcess) {
        if (pid == QCoreApplication::applicationPid()) {
            if (!holdOwnLock())
                continue;
            Claim claim;
            for (const QString &file : files)
                claim.tables.append({dir.filePath(file), leftName(dir.filePath(file))});
            claims.push_back(std::move(claim));
            continue;
        }
        const QString lockPath = dir.filePath(QString::number(pid) + QStringLiteral(".lock"));
        // A process that never took its lock but still runs keeps its files.
        if (!QFile::exists(lockPath) && processRuns(pid))
            continue;
        auto lock = std::make_unique<QLockFile>(lockPath);
        lock->setStaleLockTime(0); // only a process that has ended leaves its lock behind
        if (!lock->tryLock(0))
            continue; // its process runs, or another instance has just claimed them
        Claim claim;
        claim.lock = std::move(lock);
        for (const QString &file : files)
            claim.tables.append({dir.filePath(file), leftName(dir.filePath(file))});
        claims.push_back(std::move(claim));
    }
    return claims;
}

void removeLeftTable(const LeftTable &t)
{
    QFile::remove(t.file);
    QFile::remove(t.file.chopped(4) + QStringLiteral(".name"));
}

// Tests of the crash path run the program itself: this makes its one change.
void applyTestEdit()
{
    const QString text = qEnvironmentVariable("QUORVAN_TEST_EDIT");
    if (text.isEmpty())
        return;
    QTimer::singleShot(0, [text] {
        const QList<frmMain *> windows = frmMain::loadedWindows();
        if (!windows.isEmpty())
            windows.first()->document().setCellText(1, 1, text);
    });
}

} // namespace

QString recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QStringLiteral("/recovery");
}

RecoveryFile::RecoveryFile(TableDocument &doc, QObject *parent)
    : QObject(parent), m_doc(doc)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryFile::writeNow);
    QUndoStack *stack = m_doc.undoStack();
    connect(stack, &QUndoStack::indexChanged, this, &RecoveryFile::schedule);
    connect(stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean)
            discard();
        else
            schedule();
    });
}

RecoveryFile::~RecoveryFile()
{
    discard();
}

void RecoveryFile::setDelay(int ms)
{
    g_delayMs = qMax(0, ms);
}

QString RecoveryFile::path() const
{
    return m_base.isEmpty() ? QString() : m_base + QStringLiteral(".qvn");
}

void RecoveryFile::schedule()
{
    if (m_doc.undoStack()->isClean()) {
        discard();
        return;
    }
    // Typing never waits for a write: the write follows a pause, or at the
    // latest a few pauses' time after the first change.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_pendingSince < 0)
        m_pendingSince = now;
    if (!m_timer.isActive() || now - m_pendingSince < qint64(g_delayMs) * LongestWaitDelays)
        m_timer.start(g_delayMs);
}

void RecoveryFile::writeNow()
{
    m_timer.stop();
    m_pendingSince = -1;
    if (m_doc.undoStack()->isClean() || !holdOwnLock())
        return;
    static int serial = 0;
    if (m_base.isEmpty()) {
        // Never a name still on disk: files of an ended process with this
        // same id may lie there until they are restored.
        do {
            m_base = recoveryFolder() + QLatin1Char('/') + pidText() + QLatin1Char('-') + QString::number(++serial);
        } while (QFile::exists(m_base + QStringLiteral(".qvn")));
    }
    // The table file as a save writes it; the name first, so a table file
    // never lies there without it.
    if (!writeAtomically(m_base + QStringLiteral(".name"), m_doc.model().FileName.toUtf8())
        || !writeAtomically(m_base + QStringLiteral(".qvn"), gzipBytes(tableText(m_doc.model()), 1)))
        qWarning("recovery file %s not written", qPrintable(m_base));
}

void RecoveryFile::discard()
{
    m_timer.stop();
    m_pendingSince = -1;
    if (m_base.isEmpty())
        return;
    QFile::remove(m_base + QStringLiteral(".qvn"));
    QFile::remove(m_base + QStringLiteral(".name"));
}

void frmMain::openRecovered(const TableModel &table)
{
    load();
    m_doc->replaceModel(table);
    showTableOpened();
    // Modified from the start: it was never saved as it is.
    m_doc->undoStack()->resetClean();
    m_recovery->writeNow();
    show();
}

int offerRecoveredTables()
{
    applyTestEdit();
    std::vector<Claim> claims = claimLeftTables();
    QStringList names;
    for (const Claim &c : claims)
        for (const LeftTable &t : c.tables)
            names << frmMain::shownName(t.name);
    if (names.isEmpty())
        return 0;

    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvan"),
                    QCoreApplication::translate("frmMain", "前回終了しなかったテーブルがあります。復元しますか？"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName(QStringLiteral("msgRecover"));
    box.setInformativeText(names.join(QLatin1Char('\n')));
    box.setDefaultButton(QMessageBox::Yes);
    const bool restore = box.exec() == QMessageBox::Yes;

    int opened = 0;
    QPoint at;
    for (Claim &c : claims) {
        for (const LeftTable &t : std::as_const(c.tables)) {
            TableModel table;
            if (restore && openTableDocument(t.file, table).ok()) {
                table.FileName = t.name;
                auto *w = new frmMain;
                w->setFileName(newTableName());
                w->load();
                if (opened > 0)
                    w->move(at + QPoint(twipsToPixels(400), twipsToPixels(400)));
                w->openRecovered(table); // writes it again, under this process
                at = w->pos();
                ++opened;
            }
            removeLeftTable(t);
        }
        if (c.lock)
            c.lock->unlock();
    }
    return opened;
}
