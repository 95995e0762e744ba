#include "core/io/cell_runs.h"

#include "core/text/char_refs.h"

#include <algorithm>
#include <vector>

namespace {

bool isBlank(char16_t c)
{
    // Only what HTML folds: a no-break or ideographic space stays a character.
    // The line and paragraph separators would end a line in the readers of
    // the line-based formats.
    return c == u' ' || c == u'\t' || c == u'\f' || c == 0x2028 || c == 0x2029;
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

class RunBuilder
{
public:
    RunBuilder() { m_lines.append(TextLine()); }

    void text(QStringView s)
    {
        for (qsizetype i = 0; i < s.size(); ++i) {
            const char16_t c = s.at(i).unicode();
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < s.size() && s.at(i + 1) == u'\n')
                    ++i;
                // "<BR>" typed at a line's end is one break, not two.
                if (m_afterBreak)
                    m_afterBreak = false;
                else
                    newLine();
            } else if (isBlank(c)) {
                m_pendingSpace = true;
            } else if (!isControl(c)) {
                append(QChar(c));
            }
        }
    }

    void tag(QStringView inner)
    {
        const bool closing = inner.startsWith(u'/');
        qsizetype p = closing ? 1 : 0;
        const qsizetype nameStart = p;
        while (p < inner.size() && inner.at(p).isLetterOrNumber())
            ++p;
        const QStringView name = inner.mid(nameStart, p - nameStart);
        auto is = [&name](const char *n) { return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
        if (is("br")) {
            newLine();
            m_afterBreak = true;
        } else if (is("b") || is("strong")) {
            m_bold = closing ? std::max(0, m_bold - 1) : m_bold + 1;
        } else if (is("i") || is("em")) {
            m_italic = closing ? std::max(0, m_italic - 1) : m_italic + 1;
        } else if (is("a")) {
            // A new link ends the one before, as in a browser.
            m_href = closing ? QString() : publishableHref(hrefOf(inner.mid(p)));
        }
    }

    QVector<TextLine> take() { return std::move(m_lines); }

private:
    static QString hrefOf(QStringView attrs)
    {
        qsizetype p = 0;
        const qsizetype n = attrs.size();
        auto skipBlanks = [&] {
            while (p < n && (attrs.at(p).isSpace() || attrs.at(p) == u'/'))
                ++p;
        };
        while (p < n) {
            skipBlanks();
            const qsizetype nameStart = p;
            while (p < n && !attrs.at(p).isSpace() && attrs.at(p) != u'=' && attrs.at(p) != u'/')
                ++p;
            const QStringView name = attrs.mid(nameStart, p - nameStart);
            if (name.isEmpty()) {
                ++p;
                continue;
            }
            while (p < n && attrs.at(p).isSpace())
                ++p;
            QStringView value;
            if (p < n && attrs.at(p) == u'=') {
                ++p;
                while (p < n && attrs.at(p).isSpace())
                    ++p;
                if (p < n && (attrs.at(p) == u'"' || attrs.at(p) == u'\'')) {
                    const QChar quote = attrs.at(p++);
                    const qsizetype end = attrs.indexOf(quote, p);
                    value = attrs.mid(p, (end < 0 ? n : end) - p);
                    p = end < 0 ? n : end + 1;
                } else {
                    const qsizetype start = p;
                    while (p < n && !attrs.at(p).isSpace())
                        ++p;
                    value = attrs.mid(start, p - start);
                }
            }
            if (name.compare(QLatin1String("href"), Qt::CaseInsensitive) == 0)
                return decodeCharacterReferences(value);
        }
        return QString();
    }

    void append(QChar c)
    {
        m_afterBreak = false;
        TextLine &line = m_lines.last();
        const bool bold = m_bold > 0, italic = m_italic > 0;
        if (line.isEmpty() || line.last().bold != bold || line.last().italic != italic || line.last().href != m_href)
            line.append(TextRun{QString(), bold, italic, m_href});
        // A blank between two runs goes with the second: the writers move it
        // out of any markup.
        if (m_pendingSpace && (line.size() > 1 || !line.last().text.isEmpty()))
            line.last().text += u' ';
        m_pendingSpace = false;
        line.last().text += c;
    }

    void newLine()
    {
        m_lines.append(TextLine());
        m_pendingSpace = false;
    }

    QVector<TextLine> m_lines;
    int m_bold = 0;
    int m_italic = 0;
    QString m_href;
    bool m_pendingSpace = false;
    bool m_afterBreak = false;
};

bool isSchemeChar(QChar c)
{
    return (c.unicode() < 0x80 && c.isLetterOrNumber()) || c == u'+' || c == u'-' || c == u'.';
}

} // namespace

QVector<TextLine> cellLines(const QString &html)
{
    RunBuilder runs;
    const QStringView all(html);
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(u'<', i);
        const qsizetype textEnd = lt < 0 ? n : lt;
        if (textEnd > i)
            runs.text(decodeCharacterReferences(all.mid(i, textEnd - i)));
        if (lt < 0)
            break;
        const qsizetype gt = html.indexOf(u'>', lt + 1);
        if (gt < 0) {
            // An unfinished tag is text, as the grid shows it.
            runs.text(all.mid(lt));
            break;
        }
        runs.tag(all.mid(lt + 1, gt - lt - 1));
        i = gt + 1;
    }
    QVector<TextLine> lines = runs.take();
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString publishableHref(const QString &href)
{
    QString out;
    out.reserve(href.size());
    for (const QChar c : QStringView(href).trimmed()) {
        if (c == u' ')
            out += QLatin1String("%20");
        else if (!isControl(c.unicode()))
            out += c;
    }
    // A scheme is what comes before the first colon, if nothing else does.
    qsizetype p = 0;
    while (p < out.size() && isSchemeChar(out.at(p)))
        ++p;
    if (p > 0 && p < out.size() && out.at(p) == u':' && out.at(0).isLetter()) {
        const QString scheme = out.left(p).toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp")
            && scheme != QLatin1String("mailto"))
            return QString();
    }
    return out;
}

QString plainText(const TextLine &line)
{
    QString out;
    for (const TextRun &run : line)
        out += run.text;
    return out;
}

QString renderLine(const TextLine &line, const InlineSyntax &syntax, bool allBold, bool noLinks)
{
    // The line as text and marks first: whether a mark's delimiters work
    // depends on the characters around both of its ends.
    struct Token {
        QString text;   // for text
        int pair = -1;  // for a mark: its pair
        bool opens = false;
    };
    struct Pair {
        InlineMark mark;
        QString href;
        int open = -1;
        int close = -1;
    };
    std::vector<Token> tokens;
    std::vector<Pair> pairs;
    std::vector<int> stack; // open pairs
    auto text = [&tokens](const QString &t) {
        if (!t.isEmpty())
            tokens.push_back(Token{t});
    };
    auto closeTop = [&] {
        pairs[std::size_t(stack.back())].close = int(tokens.size());
        tokens.push_back(Token{QString(), stack.back(), false});
        stack.pop_back();
    };
    // Blanks at a run's end wait: they go after any mark that closes there,
    // for no format takes a mark beside a blank inside it.
    QString held;
    for (const TextRun &run : line) {
        const QStringView all(run.text);
        qsizetype from = 0, to = all.size();
        while (from < to && all.at(from).isSpace())
            ++from;
        while (to > from && all.at(to - 1).isSpace())
            --to;
        if (from == to) {
            held += syntax.escaped(all, false, !noLinks && !run.href.isEmpty());
            continue;
        }
        std::vector<std::pair<InlineMark, QString>> wanted;
        if (!noLinks && !run.href.isEmpty())
            wanted.push_back({InlineMark::Link, run.href});
        if (allBold || run.bold)
            wanted.push_back({InlineMark::Bold, QString()});
        if (run.italic)
            wanted.push_back({InlineMark::Italic, QString()});
        std::size_t keep = 0;
        while (keep < stack.size() && keep < wanted.size()
               && pairs[std::size_t(stack[keep])].mark == wanted[keep].first
               && pairs[std::size_t(stack[keep])].href == wanted[keep].second)
            ++keep;
        const bool closes = stack.size() > keep;
        while (stack.size() > keep)
            closeTop();
        held += syntax.escaped(all.left(from), false, false);
        if (held.isEmpty() && closes && wanted.size() > keep)
            held = syntax.between();
        text(held);
        held.clear();
        for (std::size_t i = keep; i < wanted.size(); ++i) {
            pairs.push_back(Pair{wanted[i].first, wanted[i].second, int(tokens.size())});
            tokens.push_back(Token{QString(), int(pairs.size() - 1), true});
            stack.push_back(int(pairs.size() - 1));
        }
        const bool lineStart = std::all_of(tokens.begin(), tokens.end(), [](const Token &t) { return t.pair >= 0; });
        text(syntax.escaped(all.mid(from, to - from), lineStart, !noLinks && !run.href.isEmpty()));
        held = syntax.escaped(all.mid(to), false, false);
    }
    while (!stack.empty())
        closeTop();
    text(held);

    // A delimiter next to another counts as punctuation; the line's ends as nothing.
    auto charBefore = [&](int t) {
        for (int i = t - 1; i >= 0; --i)
            if (tokens[std::size_t(i)].pair >= 0 || !tokens[std::size_t(i)].text.isEmpty())
                return tokens[std::size_t(i)].pair >= 0 ? QChar(u'*') : tokens[std::size_t(i)].text.back();
        return QChar();
    };
    auto charAfter = [&](int t) {
        for (std::size_t i = std::size_t(t) + 1; i < tokens.size(); ++i)
            if (tokens[i].pair >= 0 || !tokens[i].text.isEmpty())
                return tokens[i].pair >= 0 ? QChar(u'*') : tokens[i].text.front();
        return QChar();
    };
    std::vector<bool> fitting(pairs.size());
    for (std::size_t p = 0; p < pairs.size(); ++p)
        fitting[p] = syntax.fits(pairs[p].mark, charBefore(pairs[p].open), charAfter(pairs[p].open),
                                 charBefore(pairs[p].close), charAfter(pairs[p].close));
    QString out;
    for (const Token &t : tokens) {
        if (t.pair < 0) {
            out += t.text;
            continue;
        }
        const Pair &p = pairs[std::size_t(t.pair)];
        const bool fit = fitting[std::size_t(t.pair)];
        out += t.opens ? (fit ? syntax.open(p.mark, p.href) : syntax.openOtherwise(p.mark, p.href))
                       : (fit ? syntax.close(p.mark, p.href) : syntax.closeOtherwise(p.mark, p.href));
    }
    return out;
}
