#pragma once

// What the page decoding and the table reading share: a parse and a few ways
// into gumbo's tree. Only the html_tables*.cpp files include this.
#include <QByteArray>
#include <QString>
#include <QVector>

#include <gumbo.h>

#include "html/html_tables.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace htmltables {

// A parse and the UTF-8 text its source positions point into.
class ParsedPage
{
public:
    explicit ParsedPage(QByteArray utf8)
        : m_source(std::move(utf8))
    {
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0; // nobody reads them; collecting them costs time
        m_output = gumbo_parse_with_options(&options, m_source.constData(),
                                            size_t(m_source.size()));
    }
    ~ParsedPage()
    {
        if (m_output)
            gumbo_destroy_output(&kGumboDefaultOptions, m_output);
    }
    ParsedPage(const ParsedPage &) = delete;
    ParsedPage &operator=(const ParsedPage &) = delete;

    const GumboNode *document() const { return m_output ? m_output->document : nullptr; }
    const QByteArray &source() const { return m_source; }

    QString slice(size_t from, size_t to) const
    {
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

private:
    QByteArray m_source;
    GumboOutput *m_output = nullptr;
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

// Every table on the page: top-level tables first, then each deeper level,
// each in page order.
QVector<HtmlTable> readTables(const ParsedPage &page);

} // namespace htmltables
