#include "core/io/save_target.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

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

SaveTarget::SaveTarget(const QString &path) : m_path(path) {}

// Left without a commit, QSaveFile removes the unfinished file beside the target.
SaveTarget::~SaveTarget() = default;

bool SaveTarget::open()
{
    const ResolvedTarget target = resolveSaveTarget(m_path);
    m_refusal = target.refusal;
    if (m_refusal != TargetRefusal::None)
        return false;
    // The resolved name holds no link: QSaveFile, which would follow one
    // itself, renames over the very file checked here.
    const QFileInfo info(target.path);
    m_direct = info.exists() && !info.isFile();
    if (m_direct)
        m_file = std::make_unique<QFile>(target.path);
    else
        m_file = std::make_unique<QSaveFile>(target.path);
    // Truncate means nothing to a device or a pipe; a folder does not open.
    return m_file->open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool SaveTarget::write(const char *data, qint64 size)
{
    if (m_failed || !m_file || !m_file->isOpen() || m_file->write(data, size) != size)
        m_failed = true;
    return !m_failed;
}

bool SaveTarget::commit()
{
    if (!m_file || !m_file->isOpen())
        return false;
    // QSaveFile::commit() reports success even when its last buffered write
    // fails (a full disk, a file size limit): flush first and look.
    const bool written = !m_failed && m_file->flush();
    if (m_direct) {
        m_file->close();
        return written && m_file->error() == QFileDevice::NoError;
    }
    if (!written) {
        m_file.reset();
        return false;
    }
    return static_cast<QSaveFile *>(m_file.get())->commit();
}
