// The scan's reading of the page's text and markup: tags, comments, raw text
// and the names in them.
#include "core/import/html_page_scan_p.h"

#include <algorithm>

namespace htmltables {
namespace pagescan {

void Scanner::text(qsizetype a, qsizetype b)
{
    if (b - a <= LongRun)
        return;
    const qsizetype from = seam(a + RunKept, b, 1);
    const qsizetype to = seam(b - RunKept, a, -1);
    if (from < 0 || to < 0 || to - from < RunKept)
        return;
    const bool headHasText = std::any_of(m_s + a, m_s + from, [](char c) { return !isSpace(c); });
    if (!headHasText && std::any_of(m_s + from, m_s + to, [](char c) { return !isSpace(c); }))
        return;
    cut(from, to);
}

void Scanner::cut(qsizetype from, qsizetype to)
{
    m_result.parsed.append(m_s + m_copied, from - m_copied);
    m_removed += to - from;
    m_result.cuts.push_back({m_result.parsed.size(), m_removed});
    m_copied = to;
}

qsizetype Scanner::seam(qsizetype start, qsizetype limit, int step) const
{
    for (int k = 0; k < 4096; ++k) {
        const qsizetype i = start + step * k;
        if (step > 0 ? i >= limit : i <= limit)
            return -1;
        const uchar c = uchar(m_s[i]);
        if (c == '&' || c == ' ' || c == '\t' || c >= 0xC0)
            return i;
        const bool alnum = (c >= '0' && c <= '9') || isAlpha(char(c));
        const qsizetype before = std::min<qsizetype>(40, i);
        if (alnum && !memchr(m_s + i - before, '&', size_t(before)))
            return i;
    }
    return -1;
}

qsizetype Scanner::cellSeam(qsizetype start, qsizetype limit, int step) const
{
    for (int k = 0; k < 8; ++k) {
        const qsizetype i = start + step * k;
        if (step > 0 ? i >= limit : i <= limit)
            return -1;
        const uchar c = uchar(m_s[i]);
        if ((c & 0xC0) != 0x80 && c != '\n')
            return i;
    }
    return -1;
}

Token Scanner::read(qsizetype pos, bool lookOnly)
{
    Token t;
    if (pos + 1 >= m_n) {
        t.end = m_n;
        return t;
    }
    const char c = m_s[pos + 1];
    if (c == '!') {
        if (startsWith(pos, "<!--")) {
            if (startsWith(pos, "<!-->"))
                t.end = pos + 5;
            else if (startsWith(pos, "<!--->"))
                t.end = pos + 6;
            else
                t.end = commentEnd(pos + 4);
            return t;
        }
        // In SVG or MathML a CDATA section runs to its own "]]>", '>' and
        // '<' included; its text is never shortened, or the end could go.
        if (inForeign() && startsWith(pos, "<![CDATA[")) {
            const char *end = find(pos + 9, "]]>");
            t.end = end ? end - m_s + 3 : m_n;
            return t;
        }
        t.end = afterNext(pos, '>');
        return t;
    }
    if (c == '?') {
        t.end = afterNext(pos, '>');
        return t;
    }
    const bool endTag = c == '/';
    const qsizetype nameStart = pos + (endTag ? 2 : 1);
    if (nameStart >= m_n) {
        t.end = m_n;
        return t;
    }
    if (!isAlpha(m_s[nameStart])) {
        t.end = endTag ? afterNext(pos, '>') : pos + 1; // a bogus comment, or "<" as text
        return t;
    }
    qsizetype p = nameStart;
    while (p < m_n && !isSpace(m_s[p]) && m_s[p] != '/' && m_s[p] != '>')
        ++p;
    Name id = NoName;
    if (lookOnly) {
        const auto known = m_names.find(lowerName(m_s + nameStart, p - nameStart));
        if (known != m_names.end())
            id = known->second;
    } else {
        id = intern(lowerName(m_s + nameStart, p - nameStart));
    }
    t.type = endTag ? Token::End : Token::Start;
    t.id = id;
    t.nameStart = nameStart;
    t.attributesStart = p;
    // <font> leaves SVG and MathML only with one of these; annotation-xml
    // holds HTML only when its encoding says so.
    const bool fontOrAnnotation = id == Font || id == AnnotationXml;
    bool fontLeaves = false;
    bool htmlAnnotation = false;
    while (p < m_n) {
        const char ch = m_s[p];
        if (ch == '>') {
            ++p;
            break;
        }
        if (isSpace(ch)) {
            ++p;
            continue;
        }
        if (ch == '/') {
            t.selfClosing = p + 1 < m_n && m_s[p + 1] == '>';
            ++p;
            continue;
        }
        ++t.attributes;
        const qsizetype attributeStart = p;
        ++p; // a name may begin with '='
        while (p < m_n && !isSpace(m_s[p]) && m_s[p] != '/' && m_s[p] != '>' && m_s[p] != '=')
            ++p;
        const std::string attribute = fontOrAnnotation ? lowerName(m_s + attributeStart, p - attributeStart)
                                                       : std::string();
        qsizetype valueStart = p, valueEnd = p;
        while (p < m_n && isSpace(m_s[p]))
            ++p;
        if (p < m_n && m_s[p] == '=') {
            ++p;
            while (p < m_n && isSpace(m_s[p]))
                ++p;
            if (p < m_n && (m_s[p] == '"' || m_s[p] == '\'')) {
                const char *close = static_cast<const char *>(
                        memchr(m_s + p + 1, m_s[p], size_t(m_n - p - 1)));
                valueStart = p + 1;
                p = close ? close - m_s + 1 : m_n;
                valueEnd = close ? p - 1 : m_n;
            } else {
                valueStart = p;
                while (p < m_n && !isSpace(m_s[p]) && m_s[p] != '>')
                    ++p;
                valueEnd = p;
            }
        }
        if (id == Font && (attribute == "color" || attribute == "face" || attribute == "size"))
            fontLeaves = true;
        if (id == AnnotationXml && attribute == "encoding") {
            const std::string value = lowerName(m_s + valueStart, valueEnd - valueStart);
            htmlAnnotation = value == "text/html" || value == "application/xhtml+xml";
        }
    }
    t.end = p;
    t.special = (id != Font || fontLeaves) && (id != AnnotationXml || htmlAnnotation);
    return t;
}

qsizetype Scanner::apply(const Token &t)
{
    const qsizetype p = t.end;
    if (t.type == Token::Other)
        return p;
    const Name id = t.id;
    if (t.type == Token::End) {
        if (m_selects > 0 && !inForeign())
            endInSelect(id);
        else
            endElement(id);
        return p;
    }
    // Inside <select> the parser drops most start tags, <style> too.
    if (m_selects > 0 && !inForeign() && !startInSelect(id))
        return p;
    const unsigned kind = kindOf(id);
    const quint32 identity = kind & Formatting ? identityOf(id, t.attributesStart, p) : 0;
    startElement(id, identity, t.attributes, t.selfClosing, t.special);
    if (!m_result.tooComplex && (kind & RawText) && !inForeign())
        return rawTextEnd(p, m_s + t.nameStart, t.attributesStart - t.nameStart);
    if (id == Plaintext && !inForeign())
        return m_n;
    return p;
}

qsizetype Scanner::commentEnd(qsizetype from) const
{
    for (const char *dashes; (dashes = find(from, "--"));) {
        const qsizetype at = dashes - m_s;
        if (at + 2 < m_n && m_s[at + 2] == '>')
            return at + 3;
        if (at + 3 < m_n && m_s[at + 2] == '!' && m_s[at + 3] == '>')
            return at + 4;
        from = at + 1;
    }
    return m_n;
}

Name Scanner::intern(std::string name)
{
    const auto [at, added] = m_names.try_emplace(std::move(name), Name(m_kinds.size()));
    if (added) {
        const auto known = knownKinds().find(at->first);
        m_kinds.push_back(known == knownKinds().end() ? 0 : known->second);
    }
    return at->second;
}

quint32 Scanner::identityOf(Name id, qsizetype attributesStart, qsizetype end)
{
    std::string key = std::to_string(id) + ' ';
    key.append(m_s + attributesStart, size_t(end - attributesStart));
    return m_identities.try_emplace(std::move(key), quint32(m_identities.size())).first->second;
}

qsizetype Scanner::rawTextEnd(qsizetype p, const char *tagName, qsizetype nameLength)
{
    for (;;) {
        const char *lt = static_cast<const char *>(memchr(m_s + p, '<', size_t(m_n - p)));
        if (!lt)
            return m_n;
        const qsizetype at = lt - m_s;
        if (at + 2 + nameLength <= m_n && m_s[at + 1] == '/'
            && qstrnicmp(m_s + at + 2, tagName, size_t(nameLength)) == 0
            && (at + 2 + nameLength == m_n || isSpace(m_s[at + 2 + nameLength])
                || m_s[at + 2 + nameLength] == '/' || m_s[at + 2 + nameLength] == '>'))
            return at;
        p = at + 1;
    }
}

bool Scanner::startsWith(qsizetype pos, const char *s) const
{
    const qsizetype n = qsizetype(strlen(s));
    return pos + n <= m_n && memcmp(m_s + pos, s, size_t(n)) == 0;
}

const char *Scanner::find(qsizetype pos, const char *s) const
{
    const char *found = static_cast<const char *>(
            memmem(m_s + pos, size_t(m_n - pos), s, strlen(s)));
    return found;
}

qsizetype Scanner::afterNext(qsizetype pos, char c) const
{
    const char *found = static_cast<const char *>(memchr(m_s + pos, c, size_t(m_n - pos)));
    return found ? found - m_s + 1 : m_n;
}

} // namespace pagescan
} // namespace htmltables
