#include "core/text/char_refs.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct NamedRef {
    const char *name; // without the "&"; ends in ";" unless a legacy form
    char32_t first;
    char32_t second; // 0 when the reference is one character
};

// Rows of {name, first code point, second code point or 0}.
const NamedRef kNamedRefs[] = {
#include "core/text/char_refs_table.inc"
};

constexpr qsizetype kLongestName = 32; // "CounterClockwiseContourIntegral;"
constexpr qsizetype kLongestLegacyName = 6;

// key is NUL-terminated.
const NamedRef *findNamed(const char *key)
{
    const NamedRef *end = std::end(kNamedRefs);
    const NamedRef *it = std::lower_bound(std::begin(kNamedRefs), end, key,
        [](const NamedRef &ref, const char *k) { return std::strcmp(ref.name, k) < 0; });
    return it != end && std::strcmp(it->name, key) == 0 ? it : nullptr;
}

void appendCodePoint(QString &out, char32_t cp)
{
    if (QChar::requiresSurrogates(cp)) {
        out += QChar(QChar::highSurrogate(cp));
        out += QChar(QChar::lowSurrogate(cp));
    } else {
        out += QChar(char16_t(cp));
    }
}

// What a browser makes of a numeric reference's value: C1 controls are read as
// windows-1252, which is what pages using them meant.
char32_t numericValue(char32_t value)
{
    static const char16_t c1[32] = {
        0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
        0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178,
    };
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    if (value >= 0x80 && value <= 0x9F)
        return c1[value - 0x80];
    return value;
}

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlpha(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// What earlier tag searches learnt about the rest of the text, so that a
// text of many "<" never makes each of them search to its end.
struct TagScan {
    qsizetype lastGt = -1;        // the last ">" in the text
    bool commentsClose = true;    // false once a "<!--" found no "-->"
    bool quotesClose = true;      // false once a tag with quotes found no end
};

// The end of the tag starting at s[i] ("<" then a letter, "/", "!" or "?"),
// just past its ">", or -1 when there is no tag there. Quoted attribute values
// may hold ">"; a comment ends only at "-->".
qsizetype tagEnd(QStringView s, qsizetype i, TagScan &scan)
{
    const qsizetype n = s.size();
    if (i + 1 >= n || i > scan.lastGt)
        return -1;
    const char16_t next = s[i + 1].unicode();
    if (!isAsciiAlpha(next) && next != u'/' && next != u'!' && next != u'?')
        return -1;
    if (s.mid(i, 4) == u"<!--") {
        const qsizetype close = scan.commentsClose ? s.indexOf(u"-->", i + 4) : -1;
        scan.commentsClose = close >= 0;
        return close < 0 ? -1 : close + 3;
    }
    if (!scan.quotesClose) {
        const qsizetype close = s.indexOf(u'>', i + 1);
        return close < 0 ? -1 : close + 1;
    }
    char16_t quote = 0;
    char16_t last = 0; // the last non-space outside quotes
    for (qsizetype k = i + 1; k < n; ++k) {
        const char16_t c = s[k].unicode();
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == u'>') {
            return k + 1;
        } else if ((c == u'"' || c == u'\'') && last == u'=') {
            quote = c;
        } else if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f') {
            last = c;
        }
    }
    // No end (a quote left open, or ">" only inside quotes): from here on a
    // tag ends at its first ">", so no later "<" searches this far again.
    scan.quotesClose = false;
    return -1;
}

// Decodes the reference starting at s[i] ("&") into out and returns the index
// after it, or returns i when there is none there.
qsizetype decodeOne(QStringView s, qsizetype i, QString &out)
{
    const qsizetype n = s.size();
    qsizetype k = i + 1;
    if (k < n && s[k] == u'#') {
        ++k;
        const bool hex = k < n && (s[k] == u'x' || s[k] == u'X');
        if (hex)
            ++k;
        const qsizetype digits = k;
        char32_t value = 0;
        for (; k < n; ++k) {
            const char16_t c = s[k].unicode();
            const int d = hex ? hexDigit(c) : (c >= u'0' && c <= u'9' ? c - u'0' : -1);
            if (d < 0)
                break;
            // Anything past U+10FFFF is one replacement character; stop growing.
            value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(d), 0x110000);
        }
        if (k == digits)
            return i;
        if (k < n && s[k] == u';')
            ++k;
        appendCodePoint(out, numericValue(value));
        return k;
    }

    char name[kLongestName + 2];
    qsizetype length = 0;
    while (k < n && length < kLongestName && isAsciiAlnum(s[k].unicode()))
        name[length++] = char(s[k++].unicode());
    if (length == 0)
        return i;
    if (k < n && s[k] == u';' && length < kLongestName) {
        name[length] = ';';
        name[length + 1] = '\0';
        if (const NamedRef *ref = findNamed(name)) {
            appendCodePoint(out, ref->first);
            if (ref->second)
                appendCodePoint(out, ref->second);
            return k + 1;
        }
    }
    // Without ";" only the legacy names count, the longest that fits, so
    // "&copy2024" is "©2024" as in a browser.
    for (qsizetype len = std::min(length, kLongestLegacyName); len > 0; --len) {
        name[len] = '\0';
        if (const NamedRef *ref = findNamed(name)) {
            appendCodePoint(out, ref->first);
            if (ref->second)
                appendCodePoint(out, ref->second);
            return i + 1 + len;
        }
    }
    return i;
}

} // namespace

QString decodeCharacterReferences(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype first = 0;
    while (first < n && text[first] != u'&')
        ++first;
    if (first == n)
        return text.toString();

    QString out;
    out.reserve(n);
    qsizetype plainFrom = 0;
    qsizetype i = 0;
    TagScan scan;
    scan.lastGt = text.lastIndexOf(u'>');
    while (i < n) {
        const char16_t c = text[i].unicode();
        if (c == u'<') {
            const qsizetype end = tagEnd(text, i, scan);
            i = end < 0 ? i + 1 : end;
        } else if (c == u'&') {
            out += text.mid(plainFrom, i - plainFrom);
            const qsizetype after = decodeOne(text, i, out);
            if (after == i) {
                out += QLatin1Char('&');
                ++i;
            } else {
                i = after;
            }
            plainFrom = i;
        } else {
            ++i;
        }
    }
    out += text.mid(plainFrom);
    return out;
}

qsizetype decodeCharacterReferenceAt(QStringView text, qsizetype at, QString &out)
{
    if (at < 0 || at >= text.size() || text[at] != u'&')
        return at;
    return decodeOne(text, at, out);
}
