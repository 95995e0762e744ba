#include "core/io/temp_paths.h"

#include <QDir>
#include <QTemporaryFile>

// QTemporaryFile creates the file exclusively under its final name, so two
// windows (or two programs) can never be handed the same path.
static QString createTempFile(const QString &suffix)
{
    // Qt gives "" for a TMPDIR naming a missing folder; that must not send the
    // files to the root folder.
    QString folder = QDir::tempPath();
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp");
    QTemporaryFile file(folder + QStringLiteral("/quorvan-XXXXXX") + suffix);
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    const QString path = QDir::toNativeSeparators(file.fileName());
    file.close();
    return path;
}

QString GetTempWorkPath()
{
    return createTempFile(QStringLiteral(".qvx"));
}

QString GetTempHtmlPath()
{
    return createTempFile(QStringLiteral(".html"));
}
