#include "core/model/shown_text.h"

#include <QVarLengthArray>

#include <algorithm>

#include "core/model/grid_text.h"
#include "core/text/char_refs.h"

namespace {

enum class PieceKind {
    Text,   // characters shown as written
    Ref,    // one character reference
    Tag,    // a tag: shows nothing, or a line break for <BR>
    Raw,    // an unfinished tag at the end, shown as typed
};

struct Piece {
    PieceKind kind = PieceKind::Text;
    qsizetype src = 0, srcEnd = 0;  // in the markup
    QStringView shown;              // what it shows
    int run = 0;                    // text runs are counted across tags
};

// The markup cut as HtmlToGridText reads it: text up to a "<", a tag up to
// its ">", references decoded within the text.
class PieceScanner
{
public:
    explicit PieceScanner(QStringView markup) : m(markup) {}

    bool next(Piece &p)
    {
        const qsizetype n = m.size();
        if (i >= n)
            return false;
        p.src = i;
        p.run = m_run;
        if (m[i] == u'<') {
            const qsizetype gt = m.indexOf(u'>', i + 1);
            ++m_run;
            p.run = m_run;
            if (gt < 0) {
                p.kind = PieceKind::Raw;
                p.srcEnd = i = n;
                p.shown = m.mid(p.src);
                return true;
            }
            static const char16_t lineBreak[] = u"\r\n";
            const QStringView name = m.mid(i + 1, 2);
            const bool br = name.compare(QLatin1String("br"), Qt::CaseInsensitive) == 0
                    && (gt == i + 3 || !m.at(i + 3).isLetterOrNumber());
            p.kind = PieceKind::Tag;
            p.srcEnd = i = gt + 1;
            p.shown = br ? QStringView(lineBreak, 2) : QStringView();
            ++m_run;
            return true;
        }
        if (m[i] == u'&' && refEnd(i) > i) {
            p.kind = PieceKind::Ref;
            p.srcEnd = i = m_refEnd;
            p.shown = m_ref;
            return true;
        }
        // Plain characters, a "&" that starts no reference among them.
        qsizetype k = i + 1;
        while (k < n && m[k] != u'<' && !(m[k] == u'&' && refEnd(k) > k))
            ++k;
        p.kind = PieceKind::Text;
        p.srcEnd = k;
        p.shown = m.mid(i, k - i);
        i = k;
        return true;
    }

private:
    // Where the reference at "&" at ends (at itself for none); decoded once.
    qsizetype refEnd(qsizetype at)
    {
        if (m_refAt != at) {
            m_refAt = at;
            m_ref.clear();
            m_refEnd = decodeCharacterReferenceAt(m, at, m_ref);
        }
        return m_refEnd;
    }

    QStringView m;
    qsizetype i = 0;
    int m_run = 0;
    qsizetype m_refAt = -1, m_refEnd = -1;
    QString m_ref;
};

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// A reference as it is written when it must not run into what follows.
QString closedRef(QStringView src)
{
    return src.endsWith(u';') ? src.toString() : src.toString() + QLatin1Char(';');
}

// The references a match's source held, by the character each stands for.
struct RefSpelling {
    QString shown;
    QString written;
};
using Spellings = QVarLengthArray<RefSpelling, 4>;
constexpr int MaxSpellings = 32;

// Shown text written as markup for a text run: the characters the replaced
// source wrote as references are written so again, "<" and ">" always, and a
// "&" wherever it could start a reference (strict: every one).
void appendEncoded(QString &out, QStringView text, const Spellings &spell, bool strict)
{
    if (spell.isEmpty() && !text.contains(u'<') && !text.contains(u'>') && !text.contains(u'&')) {
        out += text;
        return;
    }
    for (qsizetype i = 0; i < text.size(); ) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView ch = text.mid(i, len);
        i += len;
        const RefSpelling *known = nullptr;
        for (const RefSpelling &s : spell)
            if (s.shown == ch)
                known = &s;
        if (known) {
            out += known->written;
        } else if (ch == u"<") {
            out += QLatin1String("&lt;");
        } else if (ch == u">") {
            out += QLatin1String("&gt;");
        } else if (ch == u"&") {
            const bool quiet = !strict && i < text.size() && !isAsciiAlnum(text[i]) && text[i] != u'#';
            out += quiet ? QLatin1String("&") : QLatin1String("&amp;");
        } else {
            out += ch;
        }
    }
}

// A text piece's own markup; strict writes each "&" in it as a reference.
void appendSource(QString &out, QStringView src, bool strict)
{
    if (!strict) {
        out += src;
        return;
    }
    for (QChar c : src) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else
            out += c;
    }
}

struct Plan {
    QVector<Spellings> spellings;   // by match
    QVector<int> runs;              // text runs any match covers, in order
    bool sound = true;              // the pieces show the shown text given
};

// First pass: which runs the matches cover, and the references they hold.
Plan plan(const QString &markup, const QString &shown, const QVector<ShownMatch> &matches)
{
    Plan out;
    out.spellings.resize(matches.size());
    PieceScanner scan(markup);
    Piece p;
    qsizetype at = 0;
    int k = 0;
    const int nm = int(matches.size());
    while (scan.next(p)) {
        const qsizetype a = at, b = at + p.shown.size();
        if (b > shown.size() || QStringView(shown).mid(a, b - a) != p.shown) {
            out.sound = false;
            return out;
        }
        at = b;
        while (k < nm && matches[k].to <= a)
            ++k;
        if (p.kind == PieceKind::Tag)
            continue;
        for (int j = k; j < nm && matches[j].from < b; ++j) {
            if (out.runs.isEmpty() || out.runs.last() != p.run)
                out.runs.append(p.run);
            if (p.kind == PieceKind::Ref && out.spellings[j].size() < MaxSpellings) {
                const bool one = p.shown.size() == 1 || (p.shown.size() == 2 && p.shown[0].isHighSurrogate());
                bool have = false;
                for (const RefSpelling &s : out.spellings[j])
                    have = have || s.shown == p.shown;
                if (one && !have)
                    out.spellings[j].append({p.shown.toString(), closedRef(QStringView(markup).mid(p.src, p.srcEnd - p.src))});
            }
        }
    }
    out.sound = at == shown.size();
    return out;
}

// Second pass: the new markup and the text it is meant to show. strict closes
// every reference and writes every "&" as one in the runs a match covers, so
// nothing the replacement brings runs into the source around it.
ShownReplacement build(const QString &markup, const QString &shown, const QVector<ShownMatch> &matches,
                       const Plan &pl, bool strict, qsizetype maxLength, QString &expected)
{
    ShownReplacement r;
    QString &out = r.markup;
    const QStringView src(markup), seen(shown);
    PieceScanner scan(markup);
    Piece p;
    qsizetype at = 0;
    int k = 0;
    bool placed = false;
    const int nm = int(matches.size());
    auto finish = [&] {
        (placed ? r.replaced : r.skipped) += 1;
        placed = false;
        ++k;
    };
    while (scan.next(p)) {
        const qsizetype a = at, b = at + p.shown.size();
        at = b;
        if (p.kind == PieceKind::Tag) {
            out += src.mid(p.src, p.srcEnd - p.src);
            expected += p.shown;
            while (k < nm && matches[k].to <= b)
                finish();
            continue;
        }
        const bool tight = strict && std::binary_search(pl.runs.begin(), pl.runs.end(), p.run);
        const bool whole = !(k < nm && matches[k].from < b);
        if (whole) {
            const QStringView own = src.mid(p.src, p.srcEnd - p.src);
            if (p.kind == PieceKind::Ref)
                out += tight ? closedRef(own) : own.toString();
            else
                appendSource(out, own, tight && p.kind == PieceKind::Text);
            expected += p.shown;
        }
        for (qsizetype pos = a; !whole && pos < b; ) {
            if (k < nm && matches[k].from <= pos) {
                const qsizetype end = qMin(b, matches[k].to);
                if (!placed) {
                    const QString &with = matches[k].with;
                    if (p.kind == PieceKind::Raw)
                        out += with;
                    else
                        appendEncoded(out, with, pl.spellings[k], tight);
                    expected += with;
                    placed = true;
                }
                pos = end;
                if (end == matches[k].to)
                    finish();
            } else {
                const qsizetype end = qMin(b, k < nm ? matches[k].from : b);
                const QStringView part = seen.mid(pos, end - pos);
                if (p.kind == PieceKind::Ref)
                    appendEncoded(out, part, Spellings(), tight);
                else
                    appendSource(out, src.mid(p.src + (pos - a), end - pos), tight && p.kind == PieceKind::Text);
                expected += part;
                pos = end;
            }
            if (out.size() > maxLength) {
                r.tooLong = true;
                return r;
            }
        }
    }
    while (k < nm)
        finish();
    r.tooLong = out.size() > maxLength;
    return r;
}

} // namespace

ShownReplacement replaceShownText(const QString &markup, const QString &shown,
                                  const QVector<ShownMatch> &matches, qsizetype maxLength)
{
    ShownReplacement kept;
    kept.markup = markup;
    if (matches.isEmpty())
        return kept;
    // Plain text with a plain replacement (most cells): the matches spliced in.
    const auto special = [](const QString &t) {
        return t.contains(u'<') || t.contains(u'>') || t.contains(u'&') || t.contains(u';');
    };
    if (markup == shown && !special(markup)
        && std::none_of(matches.begin(), matches.end(), [&](const ShownMatch &m) { return special(m.with); })) {
        QString out;
        qsizetype done = 0;
        for (const ShownMatch &m : matches) {
            out += QStringView(markup).mid(done, m.from - done);
            out += m.with;
            done = m.to;
            if (out.size() > maxLength) {
                kept.tooLong = true;
                return kept;
            }
        }
        out += QStringView(markup).mid(done);
        kept.tooLong = out.size() > maxLength;
        if (!kept.tooLong) {
            kept.markup = out;
            kept.replaced = int(matches.size());
        }
        return kept;
    }
    const Plan pl = plan(markup, shown, matches);
    kept.skipped = int(matches.size());
    if (!pl.sound)
        return kept;
    // The plain way first; where what the replacement brings would run into
    // the source beside it (a "&" left open before it, a reference without
    // its ";"), the strict way; markup that still cannot show the result is
    // left as it was.
    for (const bool strict : {false, true}) {
        QString expected;
        ShownReplacement r = build(markup, shown, matches, pl, strict, maxLength, expected);
        if (r.tooLong) {
            kept.tooLong = true;
            return kept;
        }
        if (r.replaced == 0) {
            kept.skipped = r.skipped;
            return kept;
        }
        if (HtmlToGridText(r.markup) == expected)
            return r;
    }
    return kept;
}
