#include "command_line.h"

static QString trimSpaces(const QString &s)
{
    int b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

StartRequest startRequestFromRawText(const QString &raw)
{
    const QString t = trimSpaces(raw);
    StartRequest req;
    // A lone quote has no path between its ends: treat it as no file at all.
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"'))) {
        req.openFile = true;
        req.path = t.mid(1, t.size() - 2);
    }
    return req;
}

QString rawTextFromArguments(const QStringList &args)
{
    if (args.isEmpty())
        return QString();
    if (args.first() == QLatin1String("\""))
        return args.first();
    return QLatin1Char('"') + args.first() + QLatin1Char('"');
}
