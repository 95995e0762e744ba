#include "core/model/grid_text.h"

#include <cstring>

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

// True when s holds none of "<", ">", "&" and ";". Four units at a time: a
// huge cell text is looked through on every click.
bool isPlain(const QString &s)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(s.constData());
    const char16_t *const end = p + s.size();
    // All four are in 0x20..0x3F, which no other unit of a word can reach
    // when its high bits are not those of that range.
    auto special = [](char16_t c) { return c == u'<' || c == u'>' || c == u'&' || c == u';'; };
    while (end - p >= 4) {
        quint64 word;
        memcpy(&word, p, 8);
        // A unit is in 0x20..0x3F exactly when its value with the low five
        // bits cleared is 0x20.
        const quint64 masked = (word & 0xFFE0FFE0FFE0FFE0ull) ^ 0x0020002000200020ull;
        const quint64 zero = (masked - 0x0001000100010001ull) & ~masked & 0x8000800080008000ull;
        if (zero && (special(p[0]) || special(p[1]) || special(p[2]) || special(p[3])))
            return false;
        p += 4;
    }
    for (; p < end; ++p) {
        if (special(*p))
            return false;
    }
    return true;
}

} // namespace

QString HtmlToGridText(const QString &s)
{
    // Most cells are plain text: nothing for the scan to change. A lone ">"
    // is dropped by the scan, so it is not plain either.
    if (isPlain(s))
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
