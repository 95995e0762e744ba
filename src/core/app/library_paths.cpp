#include "core/app/library_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QStringList programLibraryDirs()
{
    // The kernel's link, not argv[0]: the program may have been started through
    // the PATH or a symbolic link.
    const QString executable = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    QStringList dirs;
    if (!executable.isEmpty())
        dirs << QDir::cleanPath(QFileInfo(executable).absolutePath()
                                + QStringLiteral("/" QUORVAN_PKGLIBDIR_FROM_BINDIR));
    dirs << QStringLiteral(QUORVAN_PKGLIBDIR);
    dirs.removeDuplicates();
    return dirs;
}
