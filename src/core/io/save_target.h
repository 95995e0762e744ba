#pragma once

#include <QString>

#include <memory>

class QFileDevice;

// Why a save will not write to a name.
enum class TargetRefusal {
    None,
    StrangersLink, // a link another user planted in a shared folder (such as /tmp)
    DanglingLink,  // a link to nothing in such a folder: following it would create a file
};

// The file a save to path really writes, links followed one at a time. The
// kernel refuses to follow a link in a sticky, world-writable folder unless it
// belongs to the user or to the folder's owner (protected symlinks); a save
// renames a new file into place and never opens the old one, so that rule
// would not apply by itself: it is applied here, to every link on the way.
struct ResolvedTarget {
    QString path;
    TargetRefusal refusal = TargetRefusal::None;
};
ResolvedTarget resolveSaveTarget(const QString &path);

// The file a save writes. A regular file (or a new name) is written beside the
// target and replaces it only once complete, so a failure leaves the old file
// as it was. A target that exists and is not a regular file (a device such as
// /dev/null, a named pipe) is written into directly: renaming over it would
// replace the device itself. A link is followed to the file it names (which
// keeps its mode), unless resolveSaveTarget refuses it.
class SaveTarget
{
public:
    explicit SaveTarget(const QString &path);
    ~SaveTarget();
    SaveTarget(const SaveTarget &) = delete;
    SaveTarget &operator=(const SaveTarget &) = delete;

    bool open();
    TargetRefusal refusal() const { return m_refusal; }
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
    TargetRefusal m_refusal = TargetRefusal::None;
    int m_error = 0;
};

// The error() of the last SaveTarget that failed in this thread, for callers
// that only get a yes or no from the routine that wrote.
int lastSaveTargetError();
