#include "core/io/save_target.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

SaveTarget::SaveTarget(const QString &path) : m_path(path) {}

// Left without a commit, QSaveFile removes the unfinished file beside the target.
SaveTarget::~SaveTarget() = default;

bool SaveTarget::open()
{
    const QFileInfo info(m_path);
    m_direct = info.exists() && !info.isFile();
    if (m_direct)
        m_file = std::make_unique<QFile>(m_path);
    else
        m_file = std::make_unique<QSaveFile>(m_path);
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
