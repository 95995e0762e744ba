#include "editor/relative_path.h"

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// The common part is found without regard to case, on either kind of path:
// addresses made by earlier versions must come out the same.
bool sameChar(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

QString GetRelativePath(const QString &base, const QString &target)
{
    // Common prefix, and the last separator inside it.
    const int shorter = qMin(base.size(), target.size());
    int cut = -1;
    for (int i = 0; i < shorter && sameChar(base.at(i), target.at(i)); ++i) {
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
