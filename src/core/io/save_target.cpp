#include "core/io/save_target.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <cerrno>
#include <unistd.h>

#include <vector>

namespace {

thread_local int t_lastError = 0;

// Why a file cannot be made at path, as the system would say it.
int creationError(const QString &path)
{
    const QFileInfo info(path);
    const QByteArray where = QFile::encodeName(info.exists() ? info.absoluteFilePath() : info.absolutePath());
    if (::access(where.constData(), W_OK) != 0)
        return errno;
    return 0;
}

// A link another user could have planted: in a folder anyone may write to,
// whose sticky bit otherwise keeps users off each other's names.
bool inSharedFolder(const QByteArray &folder, struct stat *folderInfo)
{
    return ::stat(folder.isEmpty() ? "/" : folder.constData(), folderInfo) == 0
            && (folderInfo->st_mode & S_ISVTX) && (folderInfo->st_mode & S_IWOTH);
}

} // namespace

ResolvedTarget resolveSaveTarget(const QString &path)
{
    ResolvedTarget result;
    // What is left to walk, last component first, and the real folder walked so far.
    std::vector<QByteArray> rest;
    const auto push = [&rest](const QByteArray &p) {
        const QList<QByteArray> parts = p.split('/');
        for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
            if (!it->isEmpty() && *it != ".")
                rest.push_back(*it);
        }
    };
    push(QFile::encodeName(QFileInfo(path).absoluteFilePath()));
    QByteArray done;   // "" is the root
    int links = 0;
    while (!rest.empty()) {
        const QByteArray part = rest.back();
        rest.pop_back();
        if (part == "..") {
            done.truncate(std::max<qsizetype>(0, done.lastIndexOf('/')));
            continue;
        }
        const QByteArray next = done + '/' + part;
        struct stat info;
        if (::lstat(next.constData(), &info) != 0 || !S_ISLNK(info.st_mode) || ++links > 40) {
            // Not there (a new file, or a folder the open will not find), or
            // no link: taken as it stands.
            done = next;
            continue;
        }
        struct stat folder;
        if (inSharedFolder(done, &folder)) {
            if (info.st_uid != ::geteuid() && info.st_uid != folder.st_uid) {
                result.refusal = TargetRefusal::StrangersLink;
                return result;
            }
            // A link there to nothing would make a file wherever it points.
            struct stat end;
            if (::stat(next.constData(), &end) != 0) {
                result.refusal = TargetRefusal::DanglingLink;
                return result;
            }
        }
        QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(next.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size()) {
            done = next;
            continue;
        }
        target.truncate(n);
        if (target.startsWith('/'))
            done.clear();
        push(target);
    }
    result.path = done.isEmpty() ? QStringLiteral("/") : QFile::decodeName(done);
    return result;
}

int lastSaveTargetError()
{
    return t_lastError;
}

SaveTarget::SaveTarget(const QString &path) : m_path(path) {}

// Left without a commit, QSaveFile removes the unfinished file beside the target.
SaveTarget::~SaveTarget() = default;

bool SaveTarget::fail(int error)
{
    if (!m_failed || m_error == 0)
        m_error = error ? error : EIO;
    m_failed = true;
    t_lastError = m_error;
    return false;
}

bool SaveTarget::open()
{
    t_lastError = 0;
    const ResolvedTarget target = resolveSaveTarget(m_path);
    m_refusal = target.refusal;
    if (m_refusal != TargetRefusal::None)
        return false;
    // The resolved name holds no link: QSaveFile, which would follow one
    // itself, renames over the very file checked here.
    const QFileInfo info(target.path);
    if (info.isDir())
        return fail(EISDIR);
    m_direct = info.exists() && !info.isFile();
    if (m_direct)
        m_file = std::make_unique<QFile>(target.path);
    else
        m_file = std::make_unique<QSaveFile>(target.path);
    // Truncate means nothing to a device or a pipe.
    if (m_file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    const int error = errno;
    const int cause = creationError(target.path);
    return fail(cause ? cause : error);
}

bool SaveTarget::write(const char *data, qint64 size)
{
    if (m_failed || !m_file || !m_file->isOpen())
        return fail(m_error);
    errno = 0;
    if (m_file->write(data, size) != size)
        return fail(errno);
    return true;
}

bool SaveTarget::commit()
{
    if (!m_file || !m_file->isOpen())
        return false;
    // QSaveFile::commit() reports success even when its last buffered write
    // fails (a full disk, a file size limit): flush first and look.
    errno = 0;
    const bool written = !m_failed && m_file->flush();
    if (!written && !m_failed)
        fail(errno);
    if (m_direct) {
        errno = 0;
        m_file->close();
        if (written && m_file->error() != QFileDevice::NoError)
            return fail(errno);
        return written;
    }
    if (!written) {
        m_file.reset();
        return false;
    }
    errno = 0;
    if (!static_cast<QSaveFile *>(m_file.get())->commit())
        return fail(errno);
    return true;
}
