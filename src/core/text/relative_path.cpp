#include "core/text/relative_path.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Windows paths (a drive letter or a backslash) name folders without regard
// to case, as earlier versions compared them; Linux file systems tell case
// apart, so there "Web" and "web" are different folders.
bool isWindowsPath(const QString &path)
{
    return path.contains(QLatin1Char('\\'))
        || (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter());
}

bool sameChar(QChar a, QChar b, Qt::CaseSensitivity cs)
{
    return a == b || (cs == Qt::CaseInsensitive && a.toCaseFolded() == b.toCaseFolded());
}

} // namespace

QString GetRelativePath(const QString &base, const QString &target)
{
    // Common prefix, and the last separator inside it.
    const Qt::CaseSensitivity cs = isWindowsPath(base) || isWindowsPath(target)
            ? Qt::CaseInsensitive
            : Qt::CaseSensitive;
    const int shorter = qMin(base.size(), target.size());
    int cut = -1;
    for (int i = 0; i < shorter && sameChar(base.at(i), target.at(i), cs); ++i) {
        if (isSeparator(base.at(i)))
            cut = i;
    }
    // Both remainders start at that separator and lose it. With no folder in
    // common both stay whole: the base loses a leading separator only, the
    // target its first character, whatever it is.
    QString baseRest;
    QString down;
    if (cut >= 0) {
        baseRest = base.mid(cut + 1);
        down = target.mid(cut + 1);
    } else {
        baseRest = (!base.isEmpty() && isSeparator(base.at(0))) ? base.mid(1) : base;
        down = target.mid(1);
    }
    QString up;
    // The character after a separator is never looked at, so a doubled
    // separator counts once.
    for (int i = 0; i < baseRest.size(); ++i) {
        if (isSeparator(baseRest.at(i))) {
            up += QLatin1String("../");
            ++i;
        }
    }

    for (int i = 0; i < down.size(); ++i) {
        if (isSeparator(down.at(i))) {
            down[i] = QLatin1Char('/');
            ++i;
        }
    }
    return up + down;
}
