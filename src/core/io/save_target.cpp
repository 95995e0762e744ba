#include "core/io/save_target.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

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

} // namespace

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
    const QFileInfo info(m_path);
    if (info.isDir())
        return fail(EISDIR);
    m_direct = info.exists() && !info.isFile();
    if (m_direct)
        m_file = std::make_unique<QFile>(m_path);
    else
        m_file = std::make_unique<QSaveFile>(m_path);
    // Truncate means nothing to a device or a pipe.
    if (m_file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    const int error = errno;
    const int cause = creationError(m_path);
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
