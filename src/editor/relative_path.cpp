#include "editor/relative_path.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Windows names compare without regard to case; a Linux file system does not.
bool sameChar(QChar a, QChar b, bool caseSensitive)
{
    if (a == b)
        return true;
    return !caseSensitive && a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

QString GetRelativePath(const QString &base, const QString &target)
{
    const bool posix = base.startsWith(QLatin1Char('/')) && target.startsWith(QLatin1Char('/'));

    // Common prefix, and the last separator inside it.
    const int shorter = qMin(base.size(), target.size());
    int cut = -1;
    for (int i = 0; i < shorter && sameChar(base.at(i), target.at(i), posix); ++i) {
        if (isSeparator(base.at(i)))
            cut = i;
    }
    // No folder in common (other drive, or a bare name as base): "../" steps
    // would climb out of a folder the target is not in, so keep the full path.
    if (cut < 0)
        return target;

    // Both remainders start at that separator; the base's own one is dropped.
    const QString baseRest = base.mid(cut + 1);
    QString up;
    // The character after a separator is never looked at, so a doubled
    // separator counts once.
    for (int i = 0; i < baseRest.size(); ++i) {
        if (isSeparator(baseRest.at(i))) {
            up += QLatin1String("../");
            ++i;
        }
    }

    QString down = target.mid(cut + 1);
    for (int i = 0; i < down.size(); ++i) {
        if (isSeparator(down.at(i))) {
            down[i] = QLatin1Char('/');
            ++i;
        }
    }
    return up + down;
}
