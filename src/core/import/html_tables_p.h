#pragma once

// What the page decoding and the table reading share: a parse and a few ways
// into gumbo's tree. Only the html_tables*.cpp files include this.
#include <QByteArray>
#include <QString>
#include <QVector>

#include <gumbo.h>

#include "core/import/html_tables.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace htmltables {

// A page as the parser is given it, and whether it is given it at all; see
// html_page_scan.cpp.
struct PageCut {
    qsizetype at;      // offset in the parsed bytes where bytes were left out
    qsizetype removed; // bytes left out up to and including this cut
};
struct PageScan {
    bool tooComplex = false; // parsing it would take far too long or too much memory
    PageLimit limit = PageLimit::None; // which limit, when tooComplex
    QByteArray parsed;       // the page with the middle of long texts left out; empty when
                             // nothing was left out
    std::vector<PageCut> cuts;
};
PageScan scanPage(const QByteArray &utf8);

// What a page may cost, by its size: for the scan the page's, for gumbo what
// the scan leaves of it (long texts lose their middles, so text cannot buy a
// bomb room in gumbo). A well-formed page costs
// in proportion to its size, so the budget grows with it and any such page up
// to MaxHtmlPageBytes is read; the pages that cost by the square of their size
// (deep nesting, formatting reopened, thousands of attributes on a tag) pass
// the base long before they could be large. Measured (RELIABILITY.md): a long
// reference page takes gumbo 21 MB and 0.07 s a megabyte, a dense table of
// short cells 40 MB and 0.09 s; the rates leave half again as much and twice
// the time, and the tags any page can hold (one in three bytes, "<p>").
struct PageBudget {
    size_t bytes = 0;    // gumbo's blocks, counted with their overhead
    qint64 cpuNs = 0;    // the parsing thread's processor time
    qint64 tags = 0;     // start and end tags, and the copies the parser would make
    qint64 work = 0;     // the scan's count of stack walks and attribute comparisons

    static PageBudget forPage(qint64 pageBytes)
    {
        constexpr qint64 MiB = 1024 * 1024;
        const qint64 mib = (std::clamp<qint64>(pageBytes, 0, MaxHtmlPageBytes) + MiB - 1) / MiB;
        PageBudget b;
        b.bytes = size_t(128 * MiB + mib * 64 * MiB);
        b.cpuNs = 1000000000LL + mib * 200000000LL;
        b.tags = 800000 + mib * 400000;
        b.work = 30000000 + mib * 20000000;
        return b;
    }
};

// One parse by gumbo that cannot take more than the bytes and the processor
// time it is given (see bounded_parse.cpp). The tree lives as long as this.
class ParseBudget
{
public:
    ParseBudget();
    ~ParseBudget();
    ParseBudget(const ParseBudget &) = delete;
    ParseBudget &operator=(const ParseBudget &) = delete;

    // The tree, or null when the parse went over the budget (nothing is kept
    // then, and hit() says which part of it).
    const GumboOutput *parse(const QByteArray &bytes, const PageBudget &budget);
    PageLimit hit() const { return m_hit; }

private:
    struct Arena;
    std::unique_ptr<Arena> m_arena;
    GumboOptions m_options;
    GumboOutput *m_output = nullptr;
    PageLimit m_hit = PageLimit::None;
};

// A parse and the UTF-8 text its source positions point into.
class ParsedPage
{
public:
    explicit ParsedPage(QByteArray utf8)
        : m_source(std::move(utf8))
    {
        PageScan scan = scanPage(m_source);
        m_tooComplex = scan.tooComplex;
        m_limit = scan.limit;
        if (m_tooComplex)
            return;
        m_parsed = std::move(scan.parsed);
        m_cuts = std::move(scan.cuts);
        const QByteArray &bytes = m_cuts.empty() ? m_source : m_parsed;
        m_output = m_budget.parse(bytes, PageBudget::forPage(bytes.size()));
        m_tooComplex = !m_output;
        m_limit = m_budget.hit();
    }
    ParsedPage(const ParsedPage &) = delete;
    ParsedPage &operator=(const ParsedPage &) = delete;

    // True when the page was not parsed: document() is null then.
    bool tooComplex() const { return m_tooComplex; }
    PageLimit limit() const { return m_limit; }
    const GumboNode *document() const { return m_output ? m_output->document : nullptr; }
    const QByteArray &source() const { return m_source; }

    // The page's text between two positions the parser reported.
    QString slice(size_t from, size_t to) const
    {
        from = sourceOffset(from);
        to = sourceOffset(to);
        const size_t size = size_t(m_source.size());
        to = std::min(to, size);
        if (from >= to)
            return QString();
        return QString::fromUtf8(m_source.constData() + from, qsizetype(to - from));
    }

    // What lies between an element's start tag and its end, as the parser
    // bounded it: the end tag, or the token that closed the element implicitly.
    QString innerSource(const GumboElement &e) const
    {
        return slice(size_t(e.start_pos.offset) + e.original_tag.length, e.end_pos.offset);
    }

    // An element's length in the page, from its start tag to its end.
    size_t sourceLength(const GumboElement &e) const
    {
        const size_t from = sourceOffset(e.start_pos.offset);
        const size_t to = sourceOffset(e.end_pos.offset);
        return to > from ? to - from : 0;
    }

private:
    size_t sourceOffset(size_t parsed) const
    {
        // Cuts lie inside runs of text, never on a position the parser reports.
        const auto after = std::upper_bound(m_cuts.begin(), m_cuts.end(), qsizetype(parsed),
                                            [](qsizetype o, const PageCut &c) { return o < c.at; });
        return after == m_cuts.begin() ? parsed : parsed + size_t(std::prev(after)->removed);
    }

    QByteArray m_source;
    QByteArray m_parsed;
    std::vector<PageCut> m_cuts;
    bool m_tooComplex = false;
    PageLimit m_limit = PageLimit::None;
    ParseBudget m_budget;
    const GumboOutput *m_output = nullptr;
};

inline const GumboElement *htmlElement(const GumboNode *node, GumboTag tag)
{
    if (!node || node->type != GUMBO_NODE_ELEMENT)
        return nullptr;
    const GumboElement &e = node->v.element;
    return e.tag == tag && e.tag_namespace == GUMBO_NAMESPACE_HTML ? &e : nullptr;
}

inline const GumboNode *child(const GumboElement &e, unsigned i)
{
    return static_cast<const GumboNode *>(e.children.data[i]);
}

inline std::optional<QString> attribute(const GumboElement &e, const char *name)
{
    const GumboAttribute *a = gumbo_get_attribute(&e.attributes, name);
    if (!a)
        return std::nullopt;
    return QString::fromUtf8(a->value);
}

inline bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// Every table on the page, in the order they start in it. None, and refused set, for a page too costly to parse
// or whose tables nest so deep that their texts would fill the memory.
QVector<HtmlTable> readTables(const ParsedPage &page, PageLimit *refused = nullptr);

} // namespace htmltables
