#pragma once

// The scan before gumbo (see html_page_scan.cpp): its names, its stack of
// open elements and the scanner; only the scan's own sources include this.

#include <QByteArray>

#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/import/html_tables_p.h"

namespace htmltables {
namespace pagescan {

// What gumbo is given may be as long as a page may be: its time and memory
// are bounded by the budget, which grows with it (PageBudget).
inline constexpr qsizetype MaxParsedBytes = MaxHtmlPageBytes;
inline constexpr int MaxDepth = 4096;
inline constexpr qsizetype LongRun = 4096;     // text runs longer than this are shortened,
inline constexpr qsizetype RunKept = 1024;     // keeping this much at either end
inline constexpr int SearchReach = 64;         // how far down an end tag looks for its element
inline constexpr qsizetype CellLong = 256;     // a cell's text and inline markup longer than this
inline constexpr qsizetype CellKept = 64;      // keeps about this much at either end

// Tag names are compared exactly, as the parser compares them: each distinct
// name (in lower case) gets a number of its own. A hash would let a made-up
// name pass for one the scan treats specially (one like "plaintext" hid the
// rest of the page from it).
using Name = quint32;

inline std::string lowerName(const char *s, qsizetype n)
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
    Structural = 512,   // shapes the table, the tokenizer or the insertion mode: never left out
};

// The names the scan knows, with what it knows of them.
inline const std::unordered_map<std::string, unsigned> &knownKinds()
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
        add({"table", "caption", "colgroup", "col", "tbody", "thead", "tfoot", "tr", "td", "th",
             "select", "option", "optgroup", "input", "keygen", "textarea", "svg", "math",
             "template", "html", "head", "body", "frameset", "frame", "form", "isindex", "image",
             "plaintext", "noscript", "menuitem"},
            Structural);
        return k;
    }();
    return table;
}

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

inline bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline constexpr Name NoName = ~Name(0);

// The names the code below asks for, numbered first in this order.
enum Known : Name {
    P, A, Nobr, Button, Li, Dd, Dt, Td, Th, Tr, Tbody, Thead, Tfoot, Option, Optgroup, Html, Head,
    Body, Svg, Math, Plaintext, Select, Font, AnnotationXml, Input, Keygen, Textarea, Script,
    Caption, Table, KnownCount
};
inline const char *const knownNames[KnownCount] = {
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

// One piece of markup as the tokenizer reads it.
struct Token {
    enum Type { Other, Start, End } type = Other; // Other: a comment, a doctype, "<" as text
    qsizetype end = 0;        // where the text after it begins
    Name id = 0;
    qsizetype nameStart = 0;
    qsizetype attributesStart = 0;
    int attributes = 0;
    bool selfClosing = false;
    bool special = true;      // false for a <font> that stays in SVG or MathML, or an
                              // annotation-xml that holds no HTML
};

class Scanner
{
public:
    explicit Scanner(const QByteArray &page);

    PageScan run();

private:
    // The page from pos to end; with cells, the inside of cells is read by stretch().
    void scan(qsizetype pos, qsizetype end, bool cells);

    // Inside a cell or a caption, the text and inline markup from start on
    // up to the next markup that could end the cell or change how the rest
    // is read: only the cell's source is taken from the page, so gumbo is
    // given its two ends and none of its middle. Returns where it ends.
    qsizetype stretch(qsizetype start);

    // True when text and markup here go into a cell or a caption, in HTML.
    bool inCell() const;

    bool harmless(const Token &t) const;

    // Leaves the page from from to to out of what gumbo parses.
    void cut(qsizetype from, qsizetype to);

    // Text from a to b loses its middle, from one place where the tokenizer is
    // between characters to another, unless that would leave only blanks in
    // place of text (a table treats those differently).
    void text(qsizetype a, qsizetype b);

    // The first place from start on (step 1) or back (step -1), within a
    // short way and short of limit, where a character begins that is no part
    // of a character reference and no line end: "&", a blank, a character
    // outside ASCII, or a letter or digit with no "&" shortly before it.
    qsizetype seam(qsizetype start, qsizetype limit, int step) const;

    // The markup at pos (a '<'); returns where the text after it begins.
    qsizetype markup(qsizetype pos) { return apply(read(pos)); }

    // The markup at pos, read but not yet taken into the stack. lookOnly
    // leaves a name the scan has not seen unnumbered (NoName): a stretch
    // gumbo never sees may hold millions of them.
    Token read(qsizetype pos, bool lookOnly = false);

    // A place in a cell's text from start on (step 1) or back (step -1),
    // short of limit, that splits no character and no line end.
    qsizetype cellSeam(qsizetype start, qsizetype limit, int step) const;

    qsizetype apply(const Token &t);

    // The end of a comment begun at from: "-->", or "--!>" as the parser takes it too.
    qsizetype commentEnd(qsizetype from) const;

    Name intern(std::string name);

    unsigned kindOf(Name id) const { return m_kinds[id]; }

    // A formatting element's name and attributes as written: elements alike
    // for the parser may differ here (order, quotes), never the other way.
    quint32 identityOf(Name id, qsizetype attributesStart, qsizetype end);

    // A start tag inside <select>: true when it goes on as anywhere else.
    bool startInSelect(Name id);

    void endInSelect(Name id);

    void closeSelect();

    bool inForeign() const { return !m_open.empty() && m_open.back().foreignInside; }
    qsizetype floor() const { return m_open.empty() ? 0 : m_open.back().floor; }

    // special: false for a <font> that stays in SVG or MathML, or an
    // annotation-xml that holds no HTML.
    void startElement(Name id, quint32 identity, int attributes, bool selfClosing, bool special);

    void endElement(Name id);

    // Closes the nearest open element id, looking no further than an element
    // of the given scope.
    void close(Name id, unsigned scope);

    void push(Name id, quint32 identity, unsigned kind, bool foreignInside);

    // Pops the element at index and everything above it; formatting elements
    // above it were closed for it and wait to be reopened.
    void popTo(size_t index);

    void pop();

    // Text and most start tags reopen the formatting elements closed for
    // another: copies, which is what a formatting bomb multiplies.
    void reconstruct();

    void check();

    void refuse(PageLimit limit);

    qsizetype rawTextEnd(qsizetype p, const char *tagName, qsizetype nameLength);

    bool startsWith(qsizetype pos, const char *s) const;

    const char *find(qsizetype pos, const char *s) const;

    qsizetype afterNext(qsizetype pos, char c) const;

    const char *m_s;
    qsizetype m_n;
    PageBudget m_budget;
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

} // namespace pagescan
} // namespace htmltables
