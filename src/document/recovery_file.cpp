#include "document/recovery_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUndoStack>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/app/app_paths.h"
#include "core/io/compression.h"
#include "core/io/save_target.h"
#include "core/io/table_document_io.h"
#include "core/io/table_file.h"
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

// Unsaved tables are nobody else's to read: the folder is 0700 and its files
// 0600 whatever the umask, and a folder made wider before is tightened.
bool makePrivateFolder()
{
    const QString folder = recoveryFolder();
    if (!QDir().mkpath(folder) || ::chmod(QFile::encodeName(folder).constData(), 0700) != 0)
        return false;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        ::chmod(QFile::encodeName(dir.filePath(name)).constData(), 0600);
    return true;
}

bool lockPrivately(QLockFile &lock, const QString &path)
{
    if (!lock.tryLock(0))
        return false;
    // QLockFile makes its file as the umask allows.
    ::chmod(QFile::encodeName(path).constData(), 0600);
    return true;
}

// This process's claim on the files named after its id, held while it runs.
bool holdOwnLock()
{
    std::unique_ptr<QLockFile> &lock = ownLock();
    if (lock && lock->isLocked())
        return true;
    if (!makePrivateFolder())
        return false;
    const QString lockPath = recoveryFolder() + QLatin1Char('/') + pidText() + QStringLiteral(".lock");
    lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0);
    if (lockPrivately(*lock, lockPath))
        return true;
    // Left by an ended process that had this same id.
    qint64 pid = 0;
    QString host, app;
    if (lock->getLockInfo(&pid, &host, &app) && pid == QCoreApplication::applicationPid()) {
        lock->removeStaleLockFile();
        return lockPrivately(*lock, lockPath);
    }
    return false;
}

// Written as Save writes: flushed and checked before it replaces the old
// file, so a full disk leaves the previous copy as it was.
bool writeAtomically(const QString &path, const QByteArray &bytes, int &error)
{
    SaveTarget file(path);
    if (file.open() && file.write(bytes.constData(), bytes.size()) && file.commit()) {
        // Private whatever the umask; the folder (0700) keeps it so until then.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return true;
    }
    error = file.error();
    return false;
}


bool processRuns(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The table's own name kept beside a recovery file.
QString leftName(const QString &file)
{
    QFile nameFile(file.chopped(4) + QStringLiteral(".name"));
    return nameFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(nameFile.readAll()) : newTableName();
}

} // namespace

LeftTables::LeftTables()
{
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
            for (const QString &file : files)
                m_tables.append({dir.filePath(file), leftName(dir.filePath(file))});
            continue;
        }
        const QString lockPath = dir.filePath(QString::number(pid) + QStringLiteral(".lock"));
        // A process that never took its lock but still runs keeps its files.
        if (!QFile::exists(lockPath) && processRuns(pid))
            continue;
        auto lock = std::make_unique<QLockFile>(lockPath);
        lock->setStaleLockTime(0); // only a process that has ended leaves its lock behind
        if (!lockPrivately(*lock, lockPath))
            continue; // its process runs, or another instance has just claimed them
        m_locks.push_back(std::move(lock));
        for (const QString &file : files)
            m_tables.append({dir.filePath(file), leftName(dir.filePath(file))});
    }
}

LeftTables::~LeftTables()
{
    for (const std::unique_ptr<QLockFile> &lock : m_locks)
        lock->unlock();
}

void LeftTables::remove(const LeftTable &t)
{
    QFile::remove(t.file);
    QFile::remove(t.file.chopped(4) + QStringLiteral(".name"));
}

// A copy that cannot be opened is never removed: it goes under the table's
// own name (no longer offered at the next start) for the user to look at.
// Returns where it is now.
QString LeftTables::setAside(const LeftTable &t)
{
    const QString &file = t.file;
    const QString &tableName = t.name;
    const QFileInfo from(file);
    QString base = QFileInfo(GetFileNamePart(tableName)).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("table");
    const QString to = from.dir().filePath(base + QLatin1Char('-') + from.completeBaseName() + QStringLiteral(".qvn"));
    if (!QFile::rename(file, to))
        return file;
    QFile::rename(file.chopped(4) + QStringLiteral(".name"), to.chopped(4) + QStringLiteral(".name"));
    return to;
}

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
    if (m_doc.undoStack()->isClean())
        return;
    if (!holdOwnLock()) {
        // Said once a session: every later write finds the same folder.
        static bool said = false;
        if (!said) {
            said = true;
            report(tr("回復用のフォルダー\"%1\"を作成できないため、回復用のコピーを書き込めません。")
                           .arg(QDir::toNativeSeparators(recoveryFolder())));
        }
        return;
    }
    static int serial = 0;
    if (m_base.isEmpty()) {
        // Never a name still on disk: files of an ended process with this
        // same id may lie there until they are restored.
        do {
            m_base = recoveryFolder() + QLatin1Char('/') + pidText() + QLatin1Char('-') + QString::number(++serial);
        } while (QFile::exists(m_base + QStringLiteral(".qvn")));
    }
    // The table file as a save writes it; the name first, so a table file
    // never lies there without it. The name is written only when it changed.
    int error = 0;
    qint64 tooLarge = 0;
    const QString name = m_doc.model().FileName;
    const QString table = m_base + QStringLiteral(".qvn");
    const bool hadCopy = QFile::exists(table);
    bool written = (m_nameWritten && name == m_writtenName)
            || writeAtomically(m_base + QStringLiteral(".name"), name.toUtf8(), error);
    if (written) {
        m_writtenName = name;
        m_nameWritten = true;
        const QByteArray text = tableText(m_doc.model());
        // A copy too large to open again would only replace a good one.
        if (text.size() > MaxTableTextBytes) {
            tooLarge = text.size();
            written = false;
        } else {
            written = writeAtomically(table, gzipBytes(text, 1), error);
        }
    }
    if (written) {
        if (m_failureSaid)
            emit writtenAgain();
        m_failureSaid = false;
        return;
    }
    // Tried again a while later (space may be freed); said once until a
    // write succeeds again.
    if (!tooLarge)
        m_timer.start(std::max(g_delayMs, 1000) * LongestWaitDelays);
    if (m_failureSaid)
        return;
    m_failureSaid = true;
    QString text = tr("回復用のコピーを書き込めませんでした。");
    if (hadCopy)
        text += tr("前回のコピーは残っています。");
    const QString shown = QDir::toNativeSeparators(table);
    report(text + QLatin1Char(' ')
           + (tooLarge ? tableTooLargeMessage(shown, tooLarge) : saveErrorMessage(shown, error)));
}

void RecoveryFile::report(const QString &text)
{
    qWarning("%s", qPrintable(text));
    emit failed(text);
}

void RecoveryFile::discard()
{
    m_timer.stop();
    m_pendingSince = -1;
    if (m_base.isEmpty())
        return;
    QFile::remove(m_base + QStringLiteral(".qvn"));
    QFile::remove(m_base + QStringLiteral(".name"));
    m_nameWritten = false;
}

