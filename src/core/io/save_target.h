#pragma once

#include <QString>

#include <memory>

class QFileDevice;

// The file a save writes. A regular file (or a new name) is written beside the
// target and replaces it only once complete, so a failure leaves the old file
// as it was. A target that exists and is not a regular file (a device such as
// /dev/null, a named pipe) is written into directly: renaming over it would
// replace the device itself.
class SaveTarget
{
public:
    explicit SaveTarget(const QString &path);
    ~SaveTarget();
    SaveTarget(const SaveTarget &) = delete;
    SaveTarget &operator=(const SaveTarget &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    // Writes out everything buffered and checks it got there before the old
    // file is replaced; false means nothing was replaced.
    bool commit();
    // The errno of the first failure (EISDIR for a folder), 0 while none.
    int error() const { return m_error; }

private:
    bool fail(int error);

    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    bool m_direct = false;
    bool m_failed = false;
    int m_error = 0;
};

// The error() of the last SaveTarget that failed in this thread, for callers
// that only get a yes or no from the routine that wrote.
int lastSaveTargetError();
