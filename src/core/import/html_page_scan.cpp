#include "core/import/html_tables_p.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

// A pass over a page before gumbo sees it, to bound what parsing it costs.
//
// gumbo's tree builder walks its stack of open elements for most start tags
// and compares every attribute of a tag with the ones before it, so a page
// nested thousands deep, or a tag with thousands of attributes, costs time by
// the square of it (20 000 nested <div> took 2.5 s, 100 000 over 30 s). Sloppy
// formatting makes it copy elements: each "<p><b id=N>x</p>" reopens every
// earlier <b> inside the new paragraph (3 000 of them took 18 s and 1.7 GB).
// The scan follows the nesting as the tree builder would, closely enough to
// count those costs, and refuses a page whose counts (tags, depth, steps) are
// far past any real page's.
//
// Text is what the tokenizer spends most of its time on, a character at a
// time, and a cell's text is taken from the page's own source anyway. So the
// middle of a long text between two tags is left out of what gumbo parses; the
// positions gumbo reports are mapped back onto the page (ParsedPage::slice).

namespace htmltables {

namespace {

constexpr qsizetype MaxParsedBytes = 8 * 1024 * 1024;
constexpr int MaxDepth = 4096;
constexpr qint64 MaxTags = 800000;      // start and end tags, and the copies the parser would make
constexpr qint64 MaxWork = 30000000;    // stack walks and attribute comparisons
constexpr qsizetype LongRun = 4096;     // text runs longer than this are shortened,
constexpr qsizetype RunKept = 1024;     // keeping this much at either end
constexpr int SearchReach = 64;         // how far down an end tag looks for its element

// Tag names are compared exactly, as the parser compares them: each distinct
// name (in lower case) gets a number of its own. A hash would let a made-up
// name pass for one the scan treats specially (one like "plaintext" hid the
// rest of the page from it).
using Name = quint32;

std::string lowerName(const char *s, qsizetype n)
{
    std::string name(s, size_t(n));
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return name;
}

enum Kind : unsigned {
    Void = 1,
    RawText = 2,        // its text runs to its own end tag: no tags inside
    Formatting = 4,     // reopened by the parser when closed by another element
    Marker = 8,         // formatting inside it stays inside it
    ClosesP = 16,       // closes an open <p>
    Breakout = 32,      // leaves SVG or MathML
    Integration = 64,   // inside SVG or MathML, holds HTML again (annotation-xml only
                        // with an HTML encoding)
    TableScope = 128,   // stops the search for an open cell, row or section
    ButtonScope = 256,  // stops the search for an open <p>
};

// The names the scan knows, with what it knows of them.
const std::unordered_map<std::string, unsigned> &knownKinds()
{
    static const std::unordered_map<std::string, unsigned> table = [] {
        std::unordered_map<std::string, unsigned> k;
        auto add = [&k](std::initializer_list<const char *> names, unsigned kind) {
            for (const char *n : names)
                k[n] |= kind;
        };
        add({"area", "base", "basefont", "bgsound", "br", "col", "embed", "hr", "img", "image",
             "input", "keygen", "link", "meta", "param", "source", "track", "wbr", "frame"},
            Void);
        add({"script", "style", "xmp", "iframe", "noembed", "noframes", "textarea", "title"},
            RawText);
        add({"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong",
             "tt", "u"},
            Formatting);
        add({"td", "th", "caption", "applet", "marquee", "object", "template"}, Marker);
        add({"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir",
             "div", "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main",
             "menu", "nav", "ol", "p", "section", "summary", "ul", "h1", "h2", "h3", "h4", "h5",
             "h6", "pre", "listing", "form", "hr", "xmp", "li", "dd", "dt", "plaintext"},
            ClosesP);
        add({"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt",
             "em", "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li",
             "listing", "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span",
             "strong", "strike", "sub", "sup", "table", "tt", "u", "ul", "var", "font"},
            Breakout);
        add({"foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext", "annotation-xml"},
            Integration);
        add({"html", "table", "template"}, TableScope);
        add({"html", "table", "td", "th", "caption", "applet", "marquee", "object", "template",
             "button"},
            ButtonScope);
        return k;
    }();
    return table;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The names the code below asks for, numbered first in this order.
enum Known : Name {
    P, A, Nobr, Button, Li, Dd, Dt, Td, Th, Tr, Tbody, Thead, Tfoot, Option, Optgroup, Html, Head,
    Body, Svg, Math, Plaintext, Select, Font, AnnotationXml, Input, Keygen, Textarea, Script,
    Caption, Table, KnownCount
};
const char *const knownNames[KnownCount] = {
    "p", "a", "nobr", "button", "li", "dd", "dt", "td", "th", "tr", "tbody", "thead", "tfoot",
    "option", "optgroup", "html", "head", "body", "svg", "math", "plaintext", "select", "font",
    "annotation-xml", "input", "keygen", "textarea", "script", "caption", "table"};

struct Pending {
    Name name;
    quint32 identity; // name and attributes: at most three alike are reopened
};

struct Open {
    Name name;
    quint32 identity;
    unsigned kind;
    bool foreignInside;  // its content is SVG or MathML
    qsizetype floor;     // pending formatting below this index belongs outside
};

class Scanner
{
public:
    explicit Scanner(const QByteArray &page) : m_s(page.constData()), m_n(page.size())
    {
        for (const char *known : knownNames)
            intern(known);
    }

    PageScan run()
    {
        qsizetype pos = 0;
        while (pos < m_n && !m_result.tooComplex) {
            const char *lt = static_cast<const char *>(memchr(m_s + pos, '<', size_t(m_n - pos)));
            const qsizetype textEnd = lt ? lt - m_s : m_n;
            if (textEnd > pos) {
                text(pos, textEnd);
                reconstruct();
            }
            if (!lt)
                break;
            pos = markup(textEnd);
        }
        if (!m_result.cuts.empty())
            m_result.parsed.append(m_s + m_copied, m_n - m_copied);
        if ((m_result.cuts.empty() ? m_n : m_result.parsed.size()) > MaxParsedBytes)
            m_result.tooComplex = true;
        if (m_result.tooComplex) {
            m_result.parsed.clear();
            m_result.cuts.clear();
        }
        return std::move(m_result);
    }

private:
    // Text from a to b loses its middle, from one place where the tokenizer is
    // between characters to another, unless that would leave only blanks in
    // place of text (a table treats those differently).
    void text(qsizetype a, qsizetype b)
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
        m_result.parsed.append(m_s + m_copied, from - m_copied);
        m_removed += to - from;
        m_result.cuts.push_back({m_result.parsed.size(), m_removed});
        m_copied = to;
    }

    // The first place from start on (step 1) or back (step -1), within a
    // short way and short of limit, where a character begins that is no part
    // of a character reference and no line end: "&", a blank, a character
    // outside ASCII, or a letter or digit with no "&" shortly before it.
    qsizetype seam(qsizetype start, qsizetype limit, int step) const
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

    // The markup at pos (a '<'); returns where the text after it begins.
    qsizetype markup(qsizetype pos)
    {
        if (pos + 1 >= m_n)
            return m_n;
        const char c = m_s[pos + 1];
        if (c == '!') {
            if (startsWith(pos, "<!--")) {
                if (startsWith(pos, "<!-->"))
                    return pos + 5;
                if (startsWith(pos, "<!--->"))
                    return pos + 6;
                return commentEnd(pos + 4);
            }
            // In SVG or MathML a CDATA section runs to its own "]]>", '>' and
            // '<' included; its text is never shortened, or the end could go.
            if (inForeign() && startsWith(pos, "<![CDATA[")) {
                const char *end = find(pos + 9, "]]>");
                return end ? end - m_s + 3 : m_n;
            }
            return afterNext(pos, '>');
        }
        if (c == '?')
            return afterNext(pos, '>');
        const bool endTag = c == '/';
        const qsizetype nameStart = pos + (endTag ? 2 : 1);
        if (nameStart >= m_n)
            return m_n;
        if (!isAlpha(m_s[nameStart]))
            return endTag ? afterNext(pos, '>') : pos + 1; // a bogus comment, or "<" as text
        qsizetype p = nameStart;
        while (p < m_n && !isSpace(m_s[p]) && m_s[p] != '/' && m_s[p] != '>')
            ++p;
        const Name id = intern(lowerName(m_s + nameStart, p - nameStart));
        const qsizetype attributesStart = p;
        int attributes = 0;
        // <font> leaves SVG and MathML only with one of these; annotation-xml
        // holds HTML only when its encoding says so.
        const bool fontOrAnnotation = id == Font || id == AnnotationXml;
        bool fontLeaves = false;
        bool htmlAnnotation = false;
        bool selfClosing = false;
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
                selfClosing = p + 1 < m_n && m_s[p + 1] == '>';
                ++p;
                continue;
            }
            ++attributes;
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
        if (endTag) {
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
        const quint32 identity = kind & Formatting ? identityOf(id, attributesStart, p) : 0;
        startElement(id, identity, attributes, selfClosing,
                     (id != Font || fontLeaves) && (id != AnnotationXml || htmlAnnotation));
        if (!m_result.tooComplex && (kind & RawText) && !inForeign())
            return rawTextEnd(p, m_s + nameStart, attributesStart - nameStart);
        if (id == Plaintext && !inForeign())
            return m_n;
        return p;
    }

    // The end of a comment begun at from: "-->", or "--!>" as the parser takes it too.
    qsizetype commentEnd(qsizetype from) const
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

    Name intern(std::string name)
    {
        const auto [at, added] = m_names.try_emplace(std::move(name), Name(m_kinds.size()));
        if (added) {
            const auto known = knownKinds().find(at->first);
            m_kinds.push_back(known == knownKinds().end() ? 0 : known->second);
        }
        return at->second;
    }

    unsigned kindOf(Name id) const { return m_kinds[id]; }

    // A formatting element's name and attributes as written: elements alike
    // for the parser may differ here (order, quotes), never the other way.
    quint32 identityOf(Name id, qsizetype attributesStart, qsizetype end)
    {
        std::string key = std::to_string(id) + ' ';
        key.append(m_s + attributesStart, size_t(end - attributesStart));
        return m_identities.try_emplace(std::move(key), quint32(m_identities.size())).first->second;
    }

    // A start tag inside <select>: true when it goes on as anywhere else.
    bool startInSelect(Name id)
    {
        ++m_tags;
        switch (id) {
        case Option:
        case Optgroup:
        case Script:
            return true;
        case Select:
            closeSelect();
            return false;
        case Input: case Keygen: case Textarea: case Caption: case Table: case Tbody: case Tfoot:
        case Thead: case Tr: case Td: case Th:
            closeSelect();
            return true;
        default:
            return false;
        }
    }

    void endInSelect(Name id)
    {
        ++m_tags;
        if (id == Select) {
            closeSelect();
        } else if (id == Option || id == Optgroup) {
            if (!m_open.empty() && m_open.back().name == id)
                pop();
        } else if (id == Caption || id == Table || id == Tbody || id == Tfoot || id == Thead
                   || id == Tr || id == Td || id == Th) {
            closeSelect();
            endElement(id);
        }
    }

    void closeSelect()
    {
        for (size_t k = m_open.size(); k-- > 0;) {
            ++m_work;
            if (m_open[k].name == Select) {
                popTo(k);
                return;
            }
        }
    }

    bool inForeign() const { return !m_open.empty() && m_open.back().foreignInside; }
    qsizetype floor() const { return m_open.empty() ? 0 : m_open.back().floor; }

    // special: false for a <font> that stays in SVG or MathML, or an
    // annotation-xml that holds no HTML.
    void startElement(Name id, quint32 identity, int attributes, bool selfClosing, bool special)
    {
        m_work += qint64(m_open.size()) + qint64(attributes) * (attributes - 1) / 2;
        ++m_tags;
        const unsigned kind = special ? kindOf(id) : 0;
        if (inForeign()) {
            if (kind & Breakout) {
                while (inForeign())
                    pop();
            } else {
                if (!selfClosing)
                    push(id, identity, 0, !(kind & Integration));
                check();
                return;
            }
        }
        if (id == Svg || id == Math) {
            reconstruct();
            if (!selfClosing)
                push(id, identity, 0, true);
            check();
            return;
        }
        if (kind & ClosesP)
            close(P, ButtonScope);
        // A second <a>, <nobr> or <button> closes the one still open.
        if (id == A || id == Nobr || id == Button)
            endElement(id);
        if (id == Li) {
            close(id, ButtonScope);
        } else if (id == Dd || id == Dt) {
            close(Dd, ButtonScope);
            close(Dt, ButtonScope);
        } else if (id == Td || id == Th) {
            close(Td, TableScope);
            close(Th, TableScope);
        } else if (id == Tr) {
            close(Td, TableScope);
            close(Th, TableScope);
            close(Tr, TableScope);
        } else if (id == Tbody || id == Thead || id == Tfoot) {
            for (Name n : {Td, Th, Tr, Tbody, Thead, Tfoot})
                close(n, TableScope);
        } else if (id == Option || id == Optgroup) {
            if (!m_open.empty() && m_open.back().name == Option)
                pop();
            if (id == Optgroup && !m_open.empty() && m_open.back().name == Optgroup)
                pop();
        }
        if (!(kind & ClosesP) && !(kind & Marker))
            reconstruct();
        if (!(kind & (Void | RawText)) && id != Html && id != Head && id != Body)
            push(id, kind & Formatting ? identity : 0, kind, false);
        check();
    }

    void endElement(Name id)
    {
        ++m_tags;
        if (id == Html || id == Body || id == Head)
            return;
        const int reach = std::min<int>(SearchReach, int(m_open.size()));
        for (int k = 1; k <= reach; ++k) {
            if (m_open[m_open.size() - size_t(k)].name == id) {
                popTo(m_open.size() - size_t(k));
                return;
            }
        }
        // A formatting element closed after the parser closed it for another:
        // it is no longer reopened.
        for (size_t k = m_pending.size(); k-- > size_t(floor());) {
            ++m_work;
            if (m_pending[k].name == id) {
                m_pending.erase(m_pending.begin() + qsizetype(k));
                break;
            }
        }
        check();
    }

    // Closes the nearest open element id, looking no further than an element
    // of the given scope.
    void close(Name id, unsigned scope)
    {
        const int reach = std::min<int>(SearchReach, int(m_open.size()));
        for (int k = 1; k <= reach; ++k) {
            const Open &o = m_open[m_open.size() - size_t(k)];
            if (o.name == id) {
                popTo(m_open.size() - size_t(k));
                return;
            }
            if (o.kind & scope)
                return;
        }
    }

    void push(Name id, quint32 identity, unsigned kind, bool foreignInside)
    {
        if (id == Select && !foreignInside)
            ++m_selects;
        m_open.push_back({id, identity, kind, foreignInside,
                          kind & Marker ? qsizetype(m_pending.size()) : floor()});
    }

    // Pops the element at index and everything above it; formatting elements
    // above it were closed for it and wait to be reopened.
    void popTo(size_t index)
    {
        while (m_open.size() > index + 1)
            pop();
        const Open target = m_open.back();
        m_open.pop_back();
        if (target.name == Select && !target.foreignInside)
            --m_selects;
        if (target.kind & Marker)
            m_pending.resize(std::min(m_pending.size(), size_t(target.floor)));
    }

    void pop()
    {
        const Open o = m_open.back();
        m_open.pop_back();
        if (o.name == Select && !o.foreignInside)
            --m_selects;
        if (o.kind & Formatting) {
            int alike = 0;
            for (size_t k = size_t(floor()); k < m_pending.size(); ++k)
                alike += m_pending[k].identity == o.identity ? 1 : 0;
            m_work += qint64(m_pending.size());
            if (alike < 3)
                m_pending.push_back({o.name, o.identity});
        }
        if (o.kind & Marker)
            m_pending.resize(std::min(m_pending.size(), size_t(o.floor)));
    }

    // Text and most start tags reopen the formatting elements closed for
    // another: copies, which is what a formatting bomb multiplies.
    void reconstruct()
    {
        const size_t from = size_t(floor());
        if (m_pending.size() <= from)
            return;
        const std::vector<Pending> reopened(m_pending.begin() + qsizetype(from), m_pending.end());
        m_pending.resize(from);
        for (const Pending &p : reopened) {
            m_work += qint64(m_open.size());
            ++m_tags;
            push(p.name, p.identity, Formatting, false);
        }
        check();
    }

    void check()
    {
        if (m_open.size() > size_t(MaxDepth) || m_tags > MaxTags || m_work > MaxWork)
            m_result.tooComplex = true;
    }

    qsizetype rawTextEnd(qsizetype p, const char *tagName, qsizetype nameLength)
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

    bool startsWith(qsizetype pos, const char *s) const
    {
        const qsizetype n = qsizetype(strlen(s));
        return pos + n <= m_n && memcmp(m_s + pos, s, size_t(n)) == 0;
    }

    const char *find(qsizetype pos, const char *s) const
    {
        const char *found = static_cast<const char *>(
                memmem(m_s + pos, size_t(m_n - pos), s, strlen(s)));
        return found;
    }

    qsizetype afterNext(qsizetype pos, char c) const
    {
        const char *found = static_cast<const char *>(memchr(m_s + pos, c, size_t(m_n - pos)));
        return found ? found - m_s + 1 : m_n;
    }

    const char *m_s;
    qsizetype m_n;
    PageScan m_result;
    qsizetype m_copied = 0;   // bytes of the page already in m_result.parsed
    qsizetype m_removed = 0;
    std::vector<Open> m_open;
    std::vector<Pending> m_pending;
    std::unordered_map<std::string, Name> m_names;
    std::vector<unsigned> m_kinds;        // by name
    std::unordered_map<std::string, quint32> m_identities;
    int m_selects = 0;                    // <select> elements open
    qint64 m_tags = 0;
    qint64 m_work = 0;
};

} // namespace

PageScan scanPage(const QByteArray &page)
{
    return Scanner(page).run();
}

} // namespace htmltables
