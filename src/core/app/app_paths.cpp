#include "core/app/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "core/app/ui_language.h"

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

namespace {

// A help file by name: the program's folder first, then the installed data folder.
QString findHelpFile(const QString &name)
{
    const QString beside = GetAppFolder() + name;
    if (QFileInfo::exists(beside))
        return beside;
    // An installed tree may have moved (a package is built for /usr whatever the
    // build's prefix was): look beside bin/ first, then where the build put it.
    const QString relocated = GetAppFolder() + QStringLiteral("../share/quorvan/") + name;
    if (QFileInfo::exists(relocated))
        return QFileInfo(relocated).canonicalFilePath();
    const QString installed = QStringLiteral(QUORVAN_DATADIR "/") + name;
    if (QFileInfo::exists(installed))
        return installed;
    return QString();
}

} // namespace

QString helpFilePath()
{
    const QString japanese = QStringLiteral("Qrvn.CHM");
    const QString own = currentUiLanguage() == UiLanguage::English ? QStringLiteral("Qrvn_en.CHM") : japanese;
    QString path = findHelpFile(own);
    // Without its own help file, the English interface shows the Japanese one
    // rather than none.
    if (path.isEmpty() && own != japanese)
        path = findHelpFile(japanese);
    return path.isEmpty() ? GetAppFolder() + own : path;
}
