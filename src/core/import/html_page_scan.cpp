#include "core/import/html_page_scan_p.h"

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
namespace pagescan {

Scanner::Scanner(const QByteArray &page)
    : m_s(page.constData()), m_n(page.size()), m_budget(PageBudget::forPage(page.size()))
{
    for (const char *known : knownNames)
        intern(known);
    // Every name with a kind has a number before a stretch looks names up.
    for (const auto &known : knownKinds())
        intern(known.first);
}

PageScan Scanner::run()
{
    scan(0, m_n, true);
    if (!m_result.cuts.empty())
        m_result.parsed.append(m_s + m_copied, m_n - m_copied);
    if ((m_result.cuts.empty() ? m_n : m_result.parsed.size()) > MaxParsedBytes)
        refuse(PageLimit::Size);
    if (m_result.tooComplex) {
        m_result.parsed.clear();
        m_result.cuts.clear();
    }
    return std::move(m_result);
}

void Scanner::scan(qsizetype pos, qsizetype end, bool cells)
{
    while (pos < end && !m_result.tooComplex) {
        if (cells && inCell()) {
            pos = stretch(pos);
            if (pos < end && !m_result.tooComplex)
                pos = markup(pos);
            continue;
        }
        const char *lt = static_cast<const char *>(memchr(m_s + pos, '<', size_t(end - pos)));
        const qsizetype textEnd = lt ? lt - m_s : end;
        if (textEnd > pos) {
            text(pos, textEnd);
            reconstruct();
        }
        if (!lt)
            break;
        pos = markup(textEnd);
    }
}

qsizetype Scanner::stretch(qsizetype start)
{
    // Where the tokenizer is between tokens, or between characters of a
    // text: the cut begins at the first such place CellKept in and ends at
    // the last one CellKept short of the end. Only the ones that can still
    // be that last one are kept.
    qsizetype from = -1;
    std::deque<qsizetype> ends;
    auto seamAt = [&](qsizetype b) {
        if (from < 0 && b >= start + CellKept)
            from = b;
        ends.push_back(b);
        while (ends.size() > 1 && ends[1] <= b - CellKept)
            ends.pop_front();
    };
    qsizetype pos = start;
    qsizetype end = m_n;
    while (pos < m_n) {
        const char *lt = static_cast<const char *>(memchr(m_s + pos, '<', size_t(m_n - pos)));
        const qsizetype textEnd = lt ? lt - m_s : m_n;
        if (textEnd > pos) {
            seamAt(pos);
            if (textEnd - pos > 2 * CellKept) {
                const qsizetype a = cellSeam(pos + CellKept, textEnd, 1);
                const qsizetype b = cellSeam(textEnd - CellKept, pos, -1);
                if (a > pos)
                    seamAt(a);
                if (b > std::max(a, pos))
                    seamAt(b);
            }
        }
        if (!lt)
            break;
        seamAt(textEnd);
        const Token t = read(textEnd, true);
        if (!harmless(t)) {
            end = textEnd;
            break;
        }
        pos = t.end;
    }
    qsizetype to = -1;
    for (size_t k = ends.size(); k-- > 0;) {
        if (ends[k] <= end - CellKept) {
            to = ends[k];
            break;
        }
    }
    if (end - start > CellLong && from > start && to - from >= CellKept) {
        scan(start, from, false);
        if (!m_result.tooComplex) {
            cut(from, to);
            scan(to, end, false);
        }
    } else {
        scan(start, end, false);
    }
    return end;
}

bool Scanner::inCell() const
{
    if (m_selects > 0)
        return false;
    const int reach = std::min<int>(SearchReach, int(m_open.size()));
    for (int k = 1; k <= reach; ++k) {
        const Open &o = m_open[m_open.size() - size_t(k)];
        if (o.foreignInside)
            return false;
        if (o.name == Td || o.name == Th || o.name == Caption)
            return true;
        if (o.kind & (Marker | TableScope | Structural | RawText))
            return false;
    }
    return false;
}

bool Scanner::harmless(const Token &t) const
{
    return t.type == Token::Other || t.id == NoName
            || !(kindOf(t.id) & (Marker | RawText | Structural));
}

bool Scanner::startInSelect(Name id)
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

void Scanner::endInSelect(Name id)
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

void Scanner::closeSelect()
{
    for (size_t k = m_open.size(); k-- > 0;) {
        ++m_work;
        if (m_open[k].name == Select) {
            popTo(k);
            return;
        }
    }
}

void Scanner::startElement(Name id, quint32 identity, int attributes, bool selfClosing, bool special)
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

void Scanner::endElement(Name id)
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

void Scanner::close(Name id, unsigned scope)
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

void Scanner::push(Name id, quint32 identity, unsigned kind, bool foreignInside)
{
    if (id == Select && !foreignInside)
        ++m_selects;
    m_open.push_back({id, identity, kind, foreignInside,
                      kind & Marker ? qsizetype(m_pending.size()) : floor()});
}

void Scanner::popTo(size_t index)
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

void Scanner::pop()
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

void Scanner::reconstruct()
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

void Scanner::check()
{
    // Tags and work stand for the parser's time: each costs it a step or more.
    if (m_open.size() > size_t(MaxDepth))
        refuse(PageLimit::Depth);
    else if (m_tags > m_budget.tags || m_work > m_budget.work)
        refuse(PageLimit::Time);
}

void Scanner::refuse(PageLimit limit)
{
    if (!m_result.tooComplex)
        m_result.limit = limit;
    m_result.tooComplex = true;
}

} // namespace pagescan

PageScan scanPage(const QByteArray &page)
{
    return pagescan::Scanner(page).run();
}

} // namespace htmltables
