#include "core/model/grid_text.h"

#include <cstring>

#include "core/text/char_refs.h"

namespace {

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
    // Most cells are plain text: nothing for the scan to change.
    if (isPlain(s))
        return s;

    // Tags go ("<BR>" leaves a line break); each run of text between them
    // shows its character references as the characters they stand for.
    QString out;
    out.reserve(s.size());
    const QStringView all(s);
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = s.indexOf(QLatin1Char('<'), i);
        const qsizetype textEnd = lt < 0 ? n : lt;
        out += decodeCharacterReferences(all.mid(i, textEnd - i));
        if (lt < 0)
            break;
        const qsizetype gt = s.indexOf(QLatin1Char('>'), lt + 1);
        if (gt < 0) {
            // An unfinished tag is shown as typed.
            out += all.mid(lt);
            break;
        }
        const QStringView name = all.mid(lt + 1, 2);
        if (name.compare(QLatin1String("br"), Qt::CaseInsensitive) == 0
            && (gt == lt + 3 || !all.at(lt + 3).isLetterOrNumber()))
            out += QLatin1String("\r\n");
        i = gt + 1;
    }
    return out;
}
