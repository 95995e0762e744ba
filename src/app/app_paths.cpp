#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString GetFileNamePart(const QString &path)
{
    const int cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? path : path.mid(cut + 1);
}

QString GetAppFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString helpFilePath()
{
    const QString beside = GetAppFolder() + QStringLiteral("Qrvn.CHM");
    if (QFileInfo::exists(beside))
        return beside;
    // An installed tree may have moved (a package is built for /usr whatever the
    // build's prefix was): look beside bin/ first, then where the build put it.
    const QString relocated = GetAppFolder() + QStringLiteral("../share/quorvan/Qrvn.CHM");
    if (QFileInfo::exists(relocated))
        return QFileInfo(relocated).canonicalFilePath();
    const QString installed = QStringLiteral(QUORVAN_DATADIR "/Qrvn.CHM");
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}
