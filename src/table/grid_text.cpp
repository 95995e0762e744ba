#include "grid_text.h"

namespace {

// Looked up lower-cased; anything not listed (numeric references included)
// shows as nothing.
QString entityReplacement(const QString &name)
{
    struct Entry {
        const char *name;
        const char16_t *text;
    };
    static const Entry table[] = {
        {"amp", u"&"},
        {"quot", u"\""},
        {"apos", u"'"},
        {"lt", u"<"},
        {"gt", u">"},
        {"yen", u"\\"},          // U+005C: Japanese fonts draw it as the yen sign
        {"cent", u"\uFFE0"},
        {"pound", u"\uFFE1"},
        {"copy", u" (C) "},
        {"reg", u" (R) "},
        {"trade", u" TM "},
        {"laquo", u"\u226A"},
    };
    const QString key = name.toLower();
    for (const Entry &e : table) {
        if (key == QLatin1String(e.name))
            return QString::fromUtf16(e.text);
    }
    return QString();
}

} // namespace

QString HtmlToGridText(const QString &s)
{
    // Most cells are plain text: nothing for the scan to change. A lone ">"
    // is dropped by the scan, so it is not plain either.
    bool plain = true;
    for (const QChar ch : s) {
        if (ch == QLatin1Char('<') || ch == QLatin1Char('>') || ch == QLatin1Char('&')
            || ch == QLatin1Char(';')) {
            plain = false;
            break;
        }
    }
    if (plain)
        return s;

    QString out, tag, entity;
    out.reserve(s.size());
    bool inTag = false;
    bool inEntity = false;
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = s.at(i);
        if (ch == QLatin1Char('<')) {
            // The tag buffer is deliberately kept: only ">" clears it.
            inTag = true;
            if (QStringView(s).mid(i + 1, 2).compare(QLatin1String("br"), Qt::CaseInsensitive) == 0)
                out += QLatin1String("\r\n");
        } else if (ch == QLatin1Char('>')) {
            inTag = false;
            tag.clear();
        } else if (ch == QLatin1Char('&')) {
            inEntity = true;
        } else if (ch == QLatin1Char(';')) {
            // Closes an entity whether or not one is open, so ";" never shows.
            inEntity = false;
            out += entityReplacement(entity);
            entity.clear();
        } else if (!inTag && !inEntity) {
            out += ch;
        } else if (inEntity) {
            entity += ch;
        } else {
            tag += ch;
        }
    }
    // An unfinished tag or entity is shown as typed.
    if (inTag) {
        out += QLatin1Char('<');
        out += tag;
    }
    if (inEntity) {
        out += QLatin1Char('&');
        out += entity;
    }
    return out;
}
